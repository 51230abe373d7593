// Code page 936 through the system's own conversion tables.
#include <windows.h>

#include <climits>
#include <optional>

#include "platform/codepage.h"
#include "platform/codepage_win.h"

namespace tessmar::platform {
namespace {

constexpr UINT kCp936 = 936;

// Bytes of code page `page` to UTF-16; nullopt when a byte sequence has no character.
std::optional<std::wstring> toWide(UINT page, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    if (bytes.size() > INT_MAX) return std::nullopt;
    int length = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                            needed) != needed)
        return std::nullopt;
    return wide;
}

// UTF-16 to code page `page`; nullopt when a character has no form there. Best-fit mappings
// ("é" to "e") would change the text, so they count as having no form.
std::optional<std::string> fromWide(UINT page, std::wstring_view wide) {
    if (wide.empty()) return std::string();
    if (wide.size() > INT_MAX) return std::nullopt;
    int length = static_cast<int>(wide.size());
    bool utf8 = page == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    int needed =
        WideCharToMultiByte(page, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(page, flags, wide.data(), length, bytes.data(), needed, nullptr,
                            usedDefaultOut) != needed ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

Result<std::string> convert(UINT from, UINT to, std::string_view in, const char* what) {
    auto wide = toWide(from, in);
    if (!wide) return fail(what);
    auto out = fromWide(to, *wide);
    if (!out) return fail(what);
    return *out;
}

}  // namespace

Result<std::string> toCp936(std::string_view utf8) {
    return convert(CP_UTF8, kCp936, utf8, "文字中有代码页936无法表示的字符");
}

Result<std::string> fromCp936(std::string_view bytes) {
    return convert(kCp936, CP_UTF8, bytes, "内容不是有效的代码页936文字");
}

bool fitsCp936(std::string_view utf8) {
    return toCp936(utf8).has_value();
}

std::optional<std::wstring> cp936ToWide(std::string_view bytes) {
    return toWide(kCp936, bytes);
}

std::optional<std::string> wideToCp936(std::wstring_view wide) {
    return fromWide(kCp936, wide);
}

std::optional<std::string> wideToUtf8(std::wstring_view wide) {
    return fromWide(CP_UTF8, wide);
}

std::wstring utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return std::wstring();
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), needed);
    return text;
}

}  // namespace tessmar::platform
