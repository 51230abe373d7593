#include "win32/instance.h"

#include <windows.h>

#include <map>
#include <thread>

#include "forms/program.h"
#include "platform/instance.h"
#include "win32/text.h"

namespace tessmar::win32 {
namespace {

struct Search {
    std::string folder;                         // the instance name of our folder
    std::map<DWORD, bool> sameFolder;           // per process: runs from our folder
    std::map<forms::WindowKind, HWND> windows;  // the visible ones found, by kind
};

bool runsFrom(DWORD process, const std::string& folder) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!handle) return false;
    std::wstring image(32768, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    const bool named = QueryFullProcessImageNameW(handle, 0, image.data(), &size);
    CloseHandle(handle);
    if (!named) return false;
    image.resize(size);
    return platform::instanceName(std::filesystem::path(image).parent_path()) == folder;
}

BOOL CALLBACK visit(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    for (forms::WindowKind kind : forms::kAllWindows) {
        if (wide(forms::layoutOf(kind).name) != name) continue;
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) break;
        auto known = search.sameFolder.find(process);
        if (known == search.sameFolder.end())
            known = search.sameFolder.emplace(process, runsFrom(process, search.folder)).first;
        if (known->second) search.windows.emplace(kind, window);
        break;
    }
    return TRUE;
}

}  // namespace

bool bringRunningCopyForward(const std::filesystem::path& programDir,
                             std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
        Search search{platform::instanceName(programDir), {}, {}};
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
        if (const auto kind = forms::windowToBringForward(
                [&](forms::WindowKind k) { return search.windows.contains(k); })) {
            HWND window = search.windows[*kind];
            if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
            // Above what covers it (with what it owns), where the foreground alone leaves it
            // under; a message box of that window stands over it and is what the keys must reach.
            BringWindowToTop(window);
            SetForegroundWindow(GetLastActivePopup(window));
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tessmar::win32
