#include "win32/fonts.h"

#include <map>
#include <tuple>

#include "win32/text.h"

namespace tessmar::win32 {
namespace {

struct Search {
    std::wstring found;
};

int CALLBACK takeFirst(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
    // Faces with a leading "@" are the vertical variants, which lay text sideways.
    if (font->lfFaceName[0] == L'@') return 1;
    reinterpret_cast<Search*>(data)->found = font->lfFaceName;
    return 0;
}

std::wstring enumerate(std::wstring_view face, BYTE charset) {
    LOGFONTW wanted{};
    wanted.lfCharSet = charset;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    Search search;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, takeFirst, reinterpret_cast<LPARAM>(&search), 0);
    ReleaseDC(nullptr, dc);
    return search.found;
}

}  // namespace

bool faceInstalled(std::wstring_view face) {
    // A face the system only substitutes (Wine hands out another font for 宋体) is not installed.
    return !face.empty() && face.size() < LF_FACESIZE &&
           _wcsicmp(enumerate(face, DEFAULT_CHARSET).c_str(), std::wstring(face).c_str()) == 0;
}

std::wstring chooseFace(forms::Face wanted, bool (*installed)(std::wstring_view)) {
    for (std::string_view face : forms::faceFallbacks(wanted))
        if (installed(wide(face))) return wide(face);
    // The WenQuanYi faces are what Wine on Linux has; its Sharp cut carries hand-made bitmaps
    // that stay legible at 9 pt, where Wine draws the outline cut without strokes.
    for (const wchar_t* face : {L"WenQuanYi Zen Hei Sharp", L"WenQuanYi Zen Hei",
                                L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"})
        if (installed(face)) return face;
    if (std::wstring any = enumerate(L"", GB2312_CHARSET); !any.empty()) return any;
    return wide(forms::faceName(wanted));
}

HFONT font(const forms::Font& wanted, Dpi dpi) {
    using Key = std::tuple<int, double, bool, int>;
    static std::map<Key, HFONT> fonts;
    const Key key{static_cast<int>(wanted.face), wanted.points, wanted.bold, dpi.value()};
    if (auto known = fonts.find(key); known != fonts.end()) return known->second;
    static std::map<forms::Face, std::wstring> chosen;
    auto face = chosen.find(wanted.face);
    if (face == chosen.end()) face = chosen.emplace(wanted.face, chooseFace(wanted.face)).first;
    HFONT made =
        CreateFontW(-dpi.points(wanted.points), 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face->second.c_str());
    fonts.emplace(key, made);
    return made;
}

}  // namespace tessmar::win32
