// Where the program is and where Windows is, as this Windows system reports them, through the
// wide-character functions so that any folder name arrives whole whatever the PC's code page.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/paths.h"

namespace tessmar::platform {

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
    std::vector<wchar_t> buffer(256);
    UINT got = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (got >= buffer.size()) {
        buffer.resize(got + 1);
        got = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (got >= buffer.size()) got = 0;
    }
    if (got == 0) return std::string();
    return wideToUtf8(std::wstring_view(buffer.data(), got)).value_or(std::string());
}

}  // namespace tessmar::platform
