#include "driver.h"

#include <psapi.h>

#include <climits>
#include <thread>
#include <vector>

namespace tessmar::guitest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::wstring wide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const int length = static_cast<int>(text.size());
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    return out;
}

Process::~Process() {
    kill();
}

Process::Process(Process&& other) noexcept : info_(other.info_) {
    other.info_ = {};
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        kill();
        info_ = other.info_;
        other.info_ = {};
    }
    return *this;
}

bool Process::start(const std::filesystem::path& exe, const std::wstring& arguments) {
    kill();
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    const std::wstring folder = exe.parent_path().wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info_) != 0;
}

bool Process::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::wait(std::chrono::milliseconds timeout) {
    if (!info_.hProcess) return std::nullopt;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::kill() {
    if (!info_.hProcess) return;
    if (running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

std::size_t Process::peakWorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!info_.hProcess || !K32GetProcessMemoryInfo(info_.hProcess, &counters, sizeof(counters)))
        return 0;
    return counters.PeakWorkingSetSize;
}

namespace {

struct Search {
    DWORD pid;
    std::wstring_view className;
    HWND found = nullptr;
};

BOOL CALLBACK findTop(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window) && className(window) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findWindow(DWORD process, std::wstring_view name) {
    Search search{process, name};
    EnumWindows(findTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ChildSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK findChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void sendInputs(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouseInput(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x;
    in.mi.dy = y;
    in.mi.dwFlags = flags;
    return in;
}

// Absolute pointer coordinates run from 0 to 65535 over the primary screen.
INPUT moveTo(POINT screen) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    return mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (screen.x * 65535 + w / 2) / (w - 1),
                      (screen.y * 65535 + h / 2) / (h - 1));
}

}  // namespace

HWND waitWindow(DWORD process, std::wstring_view name, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    do {
        if (HWND w = findWindow(process, name)) return w;
        std::this_thread::sleep_for(5ms);
    } while (Clock::now() < end);
    return findWindow(process, name);
}

bool waitGone(DWORD process, std::wstring_view name, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (findWindow(process, name)) {
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

HWND control(HWND window, int id) {
    if (!window) return nullptr;
    ChildSearch search{id};
    EnumChildWindows(window, findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowText(HWND window) {
    // GetWindowText does not ask a window of another program, so an edit control's text would
    // come back empty: WM_GETTEXT does.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return std::string();
    text.resize(static_cast<std::size_t>(got));
    return utf8(text);
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(n > 0 ? n : 0));
}

void pressAt(HWND target, int x, int y, bool right) {
    POINT p{x, y};
    ClientToScreen(target, &p);
    const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    sendInputs({moveTo(p)});
    settle(40ms);
    sendInputs({mouseInput(down)});
    settle(40ms);
    sendInputs({mouseInput(up)});
    settle();
}

void press(HWND target, bool right) {
    RECT r{};
    GetClientRect(target, &r);
    pressAt(target, (r.right - r.left) / 2, (r.bottom - r.top) / 2, right);
}

void hover(HWND target) {
    RECT r{};
    GetClientRect(target, &r);
    POINT p{(r.right - r.left) / 2, (r.bottom - r.top) / 2};
    ClientToScreen(target, &p);
    sendInputs({moveTo(p)});
    settle();
}

namespace {}  // namespace

HWND focused(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

namespace {

// Keyboard messages go through the program's own message loop, as real keys do.
void postKey(HWND target, UINT message, WPARAM wParam, bool up) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(wParam), 0 /* MAPVK_VK_TO_VSC */);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan) << 16);
    if (up) lParam |= (1L << 30) | (1L << 31);
    PostMessageW(target, message, wParam, lParam);
}

}  // namespace

void type(HWND window, std::string_view text) {
    HWND target = focused(window);
    if (!target) return;
    for (wchar_t c : wide(text)) {
        PostMessageW(target, WM_CHAR, c, 1);
        settle(10ms);
    }
    settle();
}

void key(HWND window, WORD virtualKey) {
    HWND target = focused(window);
    if (!target) return;
    postKey(target, WM_KEYDOWN, virtualKey, false);
    if (virtualKey == VK_RETURN) PostMessageW(target, WM_CHAR, L'\r', 1);
    if (virtualKey == VK_ESCAPE) PostMessageW(target, WM_CHAR, 0x1b, 1);
    if (virtualKey == VK_TAB) PostMessageW(target, WM_CHAR, L'\t', 1);
    postKey(target, WM_KEYUP, virtualKey, true);
    settle();
}

void bringForward(HWND window) {
    const auto end = Clock::now() + 2s;
    while (GetForegroundWindow() != window && Clock::now() < end) {
        SetForegroundWindow(window);
        std::this_thread::sleep_for(20ms);
    }
}

namespace {

BOOL CALLBACK anyUnpainted(HWND window, LPARAM data) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool waitPainted(HWND window, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        bool unpainted = GetUpdateRect(window, nullptr, FALSE) != 0;
        if (!unpainted)
            EnumChildWindows(window, anyUnpainted, reinterpret_cast<LPARAM>(&unpainted));
        if (!unpainted) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

void settle(std::chrono::milliseconds time) {
    std::this_thread::sleep_for(time);
}

std::optional<Box> waitMessageBox(DWORD process, std::chrono::milliseconds timeout) {
    HWND box = waitWindow(process, L"#32770", timeout);
    if (!box) return std::nullopt;
    // A box can be seen a moment before it has its texts.
    waitPainted(box, 2s);
    Box seen{box, {}, {}};
    const auto end = Clock::now() + 2s;
    do {
        seen.title = windowText(box);
        // MessageBoxW puts its text in the static control 0xFFFF.
        HWND text = GetDlgItem(box, 0xFFFF);
        seen.text = text ? windowText(text) : std::string();
        if (!seen.title.empty() && !seen.text.empty()) break;
        std::this_thread::sleep_for(20ms);
    } while (Clock::now() < end);
    return seen;
}

bool answer(const Box& box, int button) {
    HWND b = GetDlgItem(box.window, button);
    if (!b) return false;
    PostMessageW(b, BM_CLICK, 0, 0);
    settle();
    return true;
}

}  // namespace tessmar::guitest
