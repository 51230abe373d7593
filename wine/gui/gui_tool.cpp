// Measurements and screenshots of the Windows program under Wine, beside the tests:
//   gui_tool --bench PROGRAM-FOLDER         start-up to the first window and peak working set of
//                                           tessmar.exe against the bare window, several runs
//   gui_tool --screenshots OUT PROGRAM-FOLDER  opens every window; the script beside takes the
//   pictures
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "driver.h"
#include "scenarios.h"

using namespace tessmar::guitest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

struct Run {
    double ms = 0;
    std::size_t peak = 0;
};

// Time from CreateProcess until the window of that class is visible, then its peak working set.
std::optional<Run> startOnce(const fs::path& exe, std::wstring_view windowClass) {
    Process p;
    const auto begin = std::chrono::steady_clock::now();
    if (!p.start(exe)) return std::nullopt;
    HWND window = waitWindow(p.id(), windowClass, 20s);
    const auto end = std::chrono::steady_clock::now();
    if (!window) return std::nullopt;
    settle(500ms);
    Run run{std::chrono::duration<double, std::milli>(end - begin).count(), p.peakWorkingSet()};
    PostMessageW(window, WM_CLOSE, 0, 0);
    p.wait(3s);
    return run;
}

void summary(const char* what, std::vector<Run> runs) {
    if (runs.empty()) {
        std::printf("%s: no run reached its window\n", what);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](auto& a, auto& b) { return a.ms < b.ms; });
    std::size_t peak = 0;
    for (auto& r : runs) peak = std::max(peak, r.peak);
    std::printf(
        "%s: %zu runs, start to window median %.0f ms (min %.0f, max %.0f), peak working set "
        "%.1f MiB\n",
        what, runs.size(), runs[runs.size() / 2].ms, runs.front().ms, runs.back().ms,
        static_cast<double>(peak) / (1024.0 * 1024.0));
}

int bench(const fs::path& folder) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path bare = fs::path(self).parent_path() / "bare_window.exe";
    constexpr int kRuns = 7;
    std::vector<Run> bareRuns, programRuns;
    // Alternating runs, so that neither side gets a warmer Wine.
    for (int i = 0; i < kRuns; ++i) {
        if (auto r = startOnce(bare, L"bare")) bareRuns.push_back(*r);
        ProgramCopy copy(folder);
        if (auto r = startOnce(copy.exe(), L"pwdyz")) programRuns.push_back(*r);
    }
    std::error_code ec;
    std::printf("tessmar.exe: %ju bytes\n",
                static_cast<std::uintmax_t>(fs::file_size(folder / "tessmar.exe", ec)));
    summary("bare_window.exe", bareRuns);
    summary("tessmar.exe (to the password gate)", programRuns);

    // The memory of a working session: through the gate, one checklist on screen.
    Tessmar t(folder);
    HWND gate = t.start() ? t.window(tessmar::forms::WindowKind::Gate) : nullptr;
    const auto pressed = std::chrono::steady_clock::now();
    if (gate && t.enter("")) {
        std::printf(
            "tessmar.exe: main window painted %.0f ms after 确定 was pressed\n",
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pressed)
                .count());
        const auto shown = std::chrono::steady_clock::now();
        t.press(tessmar::forms::WindowKind::Main, "Command2(1)");
        waitPainted(t.window(tessmar::forms::WindowKind::Main));
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - shown)
                .count();
        std::printf(
            "tessmar.exe with a checklist shown: peak working set %.1f MiB (category pressed and "
            "its checklist painted in %.0f ms)\n",
            static_cast<double>(t.process().peakWorkingSet()) / (1024.0 * 1024.0), ms);
    }
    return bareRuns.empty() || programRuns.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == L"--bench") return bench(args[1]);
    if (args.size() == 3 && args[0] == L"--screenshots") return screenshots(args[1], args[2]);
    std::fprintf(stderr, "usage: gui_tool --bench FOLDER | --screenshots OUT FOLDER\n");
    return 2;
}
