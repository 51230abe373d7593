// Measurements and screenshots of the Windows program under Wine, beside the tests:
//   gui_tool --bench PROGRAM-FOLDER         tessmar.exe's answers (start to the gate, the main
//                                           window after 确定, a category's checklist) beside the
//                                           same spans of bench/bare_window.cpp, alternating runs
//   gui_tool --screenshots OUT PROGRAM-FOLDER  opens every window; the script beside takes the
//   pictures
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "driver.h"
#include "engine/catalogue.h"
#include "engine/plan.h"
#include "forms/names.h"
#include "scenarios.h"

using namespace tessmar::guitest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
namespace forms = tessmar::forms;
namespace engine = tessmar::engine;
namespace platform = tessmar::platform;
using forms::names::main::Categories;

namespace {

using Clock = std::chrono::steady_clock;

double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The window's client area as the screen shows it now.
std::vector<std::uint32_t> picture(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    POINT at{0, 0};
    ClientToScreen(window, &at);
    const int w = r.right, h = r.bottom;
    std::vector<std::uint32_t> pixels;
    if (w <= 0 || h <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, at.x, at.y, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels.assign(p, p + static_cast<std::size_t>(w) * h);
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

BOOL CALLBACK anyUnpainted(HWND child, LPARAM data) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

// Whether the window or one of its controls still has a part waiting to be painted.
bool unpainted(HWND window) {
    bool waiting = GetUpdateRect(window, nullptr, FALSE) != 0;
    if (!waiting) EnumChildWindows(window, anyUnpainted, reinterpret_cast<LPARAM>(&waiting));
    return waiting;
}

// The moment the window showed its answer in the part shown (the window itself or one of its
// controls): the part's picture is read every 2 ms; once it differs from before and has stayed the
// same for 50 ms with nothing in the window waiting to be painted and the program's thread back at
// its messages, the answer is the start of the first read that saw it. Reading only the screen
// between those checks keeps the watcher from loading Wine's server while the program works; 50 ms
// ends the span before the pointer's tooltip or hover can show.
std::optional<Clock::time_point> drawnAt(HWND window, HWND shown,
                                         const std::vector<std::uint32_t>& before,
                                         Clock::time_point deadline) {
    std::vector<std::uint32_t> last;
    Clock::time_point seen{};
    for (;;) {
        if (!IsWindow(window)) return std::nullopt;
        // The screen is copied as the read begins; the copying back of a large window's picture
        // (8 ms for the main window under Wine, 1 ms for the bare one's) is the driver's time.
        const auto readFrom = Clock::now();
        std::vector<std::uint32_t> now = picture(shown);
        const auto at = Clock::now();
        if (now != last) {
            last = std::move(now);
            seen = readFrom;
        } else if (last != before && at - seen >= 50ms && !unpainted(window)) {
            // A program busy in a handler for 50 ms shows a still picture that is not its answer.
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            if (!unpainted(window) && picture(shown) == last) return seen;
        }
        if (at > deadline) return std::nullopt;
        Sleep(2);
    }
}

std::optional<Clock::time_point> drawnAt(HWND window, const std::vector<std::uint32_t>& before,
                                         Clock::time_point deadline) {
    return drawnAt(window, window, before, deadline);
}

// The window of that class of the process once it is visible, polled every millisecond.
HWND appeared(DWORD process, std::wstring_view windowClass, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        if (HWND w = waitWindow(process, windowClass, 0ms)) return w;
        Sleep(2);
    }
    return nullptr;
}

// Puts the pointer on the control and lets the window answer the hover first, outside the span.
void pointAt(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    POINT p{r.right / 2, r.bottom / 2};
    ClientToScreen(control, &p);
    SetCursorPos(p.x, p.y);
    HWND root = GetAncestor(control, GA_ROOT);
    drawnAt(root, {}, Clock::now() + 3s);
}

// A left press and release in one go: the span starts as the input leaves the driver.
Clock::time_point click() {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const auto begin = Clock::now();
    SendInput(2, in, sizeof(INPUT));
    return begin;
}

// From the click on control until the window of that class has shown its answer.
std::optional<double> answered(DWORD process, HWND control, std::wstring_view windowClass) {
    pointAt(control);
    const auto begin = click();
    const auto deadline = begin + 10s;
    HWND window = appeared(process, windowClass, deadline);
    const auto end = window ? drawnAt(window, {}, deadline) : std::nullopt;
    if (!end) return std::nullopt;
    return millis(*end - begin);
}

// From the click on control until the part shown (a grid) of the same window has changed.
std::optional<double> answered(HWND control, HWND shown) {
    pointAt(control);
    HWND root = GetAncestor(control, GA_ROOT);
    const auto before = picture(shown);
    const auto begin = click();
    const auto end = drawnAt(root, shown, before, begin + 10s);
    if (!end) return std::nullopt;
    return millis(*end - begin);
}

std::optional<double> start(Process& p, const fs::path& exe, std::wstring_view windowClass,
                            const std::wstring& arguments = {}) {
    SetCursorPos(0, 0);
    const auto begin = Clock::now();
    if (!p.start(exe, arguments)) return std::nullopt;
    const auto deadline = begin + 20s;
    HWND window = appeared(p.id(), windowClass, deadline);
    const auto end = window ? drawnAt(window, {}, deadline) : std::nullopt;
    if (!end) return std::nullopt;
    return millis(*end - begin);
}

struct Series {
    explicit Series(const char* name) : what(name) {}
    const char* what;
    std::vector<double> ms;
    std::size_t peak = 0;
    void add(std::optional<double> v) {
        if (v) ms.push_back(*v);
    }
    double median() const {
        if (ms.empty()) return 0;
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

void line(const Series& s) {
    if (s.ms.empty()) {
        std::printf("  %s: no run got there\n", s.what);
        return;
    }
    std::printf("  %s: median %.0f ms (min %.0f, max %.0f, %zu runs)", s.what, s.median(),
                *std::min_element(s.ms.begin(), s.ms.end()),
                *std::max_element(s.ms.begin(), s.ms.end()), s.ms.size());
    if (s.peak) std::printf(", peak working set %.1f MiB", s.peak / (1024.0 * 1024.0));
    std::printf("\n");
}

// Prints the program's span beside the bare one; false when the bar is not met.
bool bar(const char* what, const Series& bare, const Series& program, double ratio,
         double limitMs = 0) {
    line(bare);
    line(program);
    if (bare.ms.empty() || program.ms.empty()) {
        std::printf("%s: NOT MEASURED\n\n", what);
        return false;
    }
    const double r = program.median() / bare.median();
    bool holds = r <= ratio;
    std::printf("%s: %.2fx the bare window (bar %.1fx)", what, r, ratio);
    if (limitMs > 0) {
        std::printf(", %.0f ms (bar %.0f ms)", program.median(), limitMs);
        holds = holds && program.median() <= limitMs;
    }
    std::printf(": %s\n\n", holds ? "holds" : "DOES NOT HOLD");
    return holds;
}

// The checklist's size and the rows of the two categories the bench switches between, for the
// bare window's grid (see bench/bare_window.cpp).
fs::path writeRows(const fs::path& dir, const std::vector<int>& categories) {
    const forms::WindowLayout& layout = forms::layoutOf(forms::WindowKind::Main);
    const forms::Control* grid = forms::findControl(layout, "Grid1");
    std::wstring text = std::to_wstring(forms::pixels(grid->place.width)) + L" " +
                        std::to_wstring(forms::pixels(grid->place.height)) + L" " +
                        std::to_wstring(forms::pixels(grid->grid->rowTwips));
    for (int w : grid->grid->columnTwips) text += L" " + std::to_wstring(forms::pixels(w));
    text += L"\n";
    for (int category : categories) {
        for (const auto& row : engine::fillBuiltin(category, {}).rows) {
            text += wide(row[0]) + L"\t" + wide(row[1]) + L"\t" + wide(row[2]) + L"\n";
        }
        text += L"\n";
    }
    const fs::path file = dir / "rows.txt";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()),
               static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
    return file;
}

// Applies the category with every row chosen, then changes one of the values it wrote behind the
// program's back, so that showing the category again works out and marks a drifted row.
bool drift(Tessmar& t, int category) {
    using forms::WindowKind;
    t.press(WindowKind::Main, Categories[static_cast<std::size_t>(category)]);
    t.press(WindowKind::Main, "Command3(0)");
    t.press(WindowKind::Main, "Command5");
    auto box = waitMessageBox(t.id());
    if (!box) return false;
    answer(*box, IDOK);
    waitGone(t.id(), L"#32770", 3s);
    const auto rows = engine::fillBuiltin(category, {}).rows.size();
    auto plan = engine::plan(t.copy().dir(), category, std::vector<bool>(rows, true),
                             static_cast<int>(rows));
    if (!plan) return false;
    for (const auto& w : plan->writes) {
        if (w.op != engine::RegWrite::Op::SetValue || w.type != platform::RegType::Dword) continue;
        HKEY key = nullptr;
        HKEY root =
            w.root == platform::RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (RegOpenKeyExW(root, wide(w.key).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            continue;
        const DWORD other = 12345;
        RegSetValueExW(key, wide(w.name).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&other), sizeof other);
        RegCloseKey(key);
        return true;
    }
    return false;
}

int bench(const fs::path& folder) {
    using forms::WindowKind;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path bare = fs::path(self).parent_path() / "bare_window.exe";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path rows = writeRows(temp, {1, 2});
    constexpr int kRuns = 7;
    Series bareStart{"bare_window.exe, start to its window"};
    Series gateStart{"tessmar.exe, start to the gate"};
    Series bareSecond{"bare_window.exe, 打开 to its second window"};
    Series mainShown{"tessmar.exe, 确定 to the main window"};
    Series bareFill{"bare_window.exe, 填充 to its grid filled"};
    Series bareFillBar{"bare_window.exe, 填充 to its grid filled, with the system's scroll bar"};
    Series checklist{"tessmar.exe, category to its checklist"};
    // Alternating runs, so that neither side gets a warmer Wine.
    for (int i = 0; i < kRuns; ++i) {
        {
            Process p;
            bareStart.add(start(p, bare, L"bare"));
            bareStart.peak = std::max(bareStart.peak, p.peakWorkingSet());
            PostMessageW(waitWindow(p.id(), L"bare"), WM_CLOSE, 0, 0);
            p.wait(3s);
        }
        {
            Process p;
            // Its second window is as large as the main window.
            const forms::WindowLayout& main = forms::layoutOf(WindowKind::Main);
            start(p, bare, L"bare",
                  L"\"" + rows.wstring() + L"\" " +
                      std::to_wstring(forms::pixels(main.clientWidth)) + L" " +
                      std::to_wstring(forms::pixels(main.clientHeight)));
            HWND window = waitWindow(p.id(), L"bare");
            bareSecond.add(answered(p.id(), control(window, 1003), L"bare2"));
            if (HWND second = waitWindow(p.id(), L"bare2", 0ms))
                PostMessageW(second, WM_CLOSE, 0, 0);
            waitGone(p.id(), L"bare2", 3s);
            for (int press = 0; press < 2; ++press)
                bareFill.add(answered(control(window, 1004), control(window, 1005)));
            PostMessageW(window, WM_CLOSE, 0, 0);
            p.wait(3s);
        }
        {
            Process p;
            start(p, bare, L"bare", L"\"" + rows.wstring() + L"\" 0 0 scroll");
            HWND window = waitWindow(p.id(), L"bare");
            for (int press = 0; press < 2; ++press)
                bareFillBar.add(answered(control(window, 1004), control(window, 1005)));
            PostMessageW(window, WM_CLOSE, 0, 0);
            p.wait(3s);
        }
        Tessmar t(folder);
        gateStart.add(start(t.process(), t.copy().exe(), classOf(WindowKind::Gate)));
        gateStart.peak = std::max(gateStart.peak, t.process().peakWorkingSet());
        mainShown.add(
            answered(t.id(), t.control(WindowKind::Gate, "OKButton"), classOf(WindowKind::Main)));
        if (!t.window(WindowKind::Main) || !drift(t, 1)) continue;
        for (int category : {2, 1}) {
            t.idle();
            checklist.add(answered(t.control(WindowKind::Main, Categories[category]),
                                   t.control(WindowKind::Main, "Grid1")));
        }
        checklist.peak = std::max(checklist.peak, t.process().peakWorkingSet());
    }
    std::error_code ec;
    std::printf("tessmar.exe: %ju bytes\n\n",
                static_cast<std::uintmax_t>(fs::file_size(folder / "tessmar.exe", ec)));
    bool holds = bar("start to the gate", bareStart, gateStart, 1.2);
    holds = bar("main window painted after 确定", bareSecond, mainShown, 1.5) && holds;
    holds = bar("category to its checklist painted, drift marked", bareFill, checklist, 1.5, 50) &&
            holds;
    // Not a bar: the checklist's rows do not all fit, and drawing the scroll bar that shows them
    // is the system's time, which the plain bare grid does not spend.
    line(bareFillBar);
    if (!bareFillBar.ms.empty() && !checklist.ms.empty())
        std::printf("category to its checklist: %.2fx the bare grid with a scroll bar\n\n",
                    checklist.median() / bareFillBar.median());
    std::printf("every bar holds: %s\n", holds ? "yes" : "NO");
    fs::remove(rows, ec);
    return bareStart.ms.empty() || gateStart.ms.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == L"--bench") return bench(args[1]);
    if (args.size() == 3 && args[0] == L"--screenshots") return screenshots(args[1], args[2]);
    std::fprintf(stderr, "usage: gui_tool --bench FOLDER | --screenshots OUT FOLDER\n");
    return 2;
}
