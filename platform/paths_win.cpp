// Where the program is and where Windows is, as this Windows system reports them.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace tessmar::platform {
namespace {

// Text of the system's ANSI code page to UTF-8; nullopt when it does not convert.
std::optional<std::string> ansiToUtf8(std::string_view ansi) {
    if (ansi.empty()) return std::string();
    int length = static_cast<int>(ansi.size());
    int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (wideLength <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), wideLength);
    int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                        nullptr);
    return utf8;
}

}  // namespace

std::filesystem::path programDir() {
    // Long paths do not fit MAX_PATH; grow the buffer until the whole name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD got = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (got == 0) return std::filesystem::current_path();
        if (got < size)
            return std::filesystem::path(std::wstring(buffer.data(), got)).parent_path();
        if (buffer.size() >= 32768) return std::filesystem::current_path();
        buffer.resize(buffer.size() * 2);
    }
}

std::string getwindowsdir() {
    // Room for 255 characters and the terminating zero; a longer directory is asked for again
    // rather than cut.
    std::vector<char> buffer(256);
    UINT got = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (got >= buffer.size()) {
        buffer.resize(got + 1);
        got = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (got >= buffer.size()) got = 0;
    }
    if (got == 0) return std::string();
    return ansiToUtf8(std::string_view(buffer.data(), got)).value_or(std::string());
}

}  // namespace tessmar::platform
