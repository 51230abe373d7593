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

std::wstring chooseFace(std::wstring_view wanted) {
    static std::map<std::wstring, std::wstring, std::less<>> chosen;
    if (auto known = chosen.find(wanted); known != chosen.end()) return known->second;
    std::wstring face(wanted);
    if (!faceInstalled(face)) {
        face.clear();
        // The WenQuanYi faces are what Wine on Linux has; its Sharp cut carries hand-made bitmaps
        // that stay legible at 9 pt, where Wine draws the outline cut without strokes.
        for (const wchar_t* fallback :
             {L"SimSun", L"NSimSun", L"Microsoft YaHei", L"WenQuanYi Zen Hei Sharp",
              L"WenQuanYi Zen Hei", L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"})
            if (faceInstalled(fallback)) {
                face = fallback;
                break;
            }
        if (face.empty()) face = enumerate(L"", GB2312_CHARSET);
        if (face.empty()) face = wanted;
    }
    chosen.emplace(std::wstring(wanted), face);
    return face;
}

HFONT font(const forms::Font& wanted, Dpi dpi) {
    using Key = std::tuple<int, double, bool, int>;
    static std::map<Key, HFONT> fonts;
    const Key key{static_cast<int>(wanted.face), wanted.points, wanted.bold, dpi.value()};
    if (auto known = fonts.find(key); known != fonts.end()) return known->second;
    const std::wstring face = chooseFace(wide(forms::faceName(wanted.face)));
    HFONT made =
        CreateFontW(-dpi.points(wanted.points), 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    fonts.emplace(key, made);
    return made;
}

}  // namespace tessmar::win32
