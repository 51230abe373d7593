#include "scenarios.h"

#include <atomic>
#include <fstream>
#include <thread>

namespace tessmar::guitest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

ProgramCopy::ProgramCopy(const fs::path& folder) {
    static std::atomic<int> counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    dir_ = fs::path(temp) / ("tessmar-gui-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter++));
    std::error_code ec;
    fs::remove_all(dir_, ec);
    fs::create_directories(dir_, ec);
    ok_ = !ec;
    for (const char* name : {"tessmar.exe", "user.dat", "help.htm"}) {
        fs::copy_file(folder / name, dir_ / name, ec);
        ok_ = ok_ && !ec;
    }
}

ProgramCopy::~ProgramCopy() {
    std::error_code ec;
    // The program may hold its files for a moment after it ended.
    for (int i = 0; i < 20 && fs::exists(dir_, ec); ++i) {
        fs::remove_all(dir_, ec);
        if (ec) std::this_thread::sleep_for(50ms);
    }
}

namespace {

// Hands the window's place to the script and waits until it has taken the picture.
bool shoot(const fs::path& out, const std::string& name, HWND window) {
    if (!window) return false;
    bringForward(window);
    settle(400ms);
    RECT r{};
    GetWindowRect(window, &r);
    const fs::path ready = out / (name + ".ready"), done = out / (name + ".done");
    std::error_code ec;
    fs::remove(done, ec);
    {
        std::ofstream f(out / (name + ".tmp"));
        f << (r.right - r.left) << "x" << (r.bottom - r.top) << "+" << r.left << "+" << r.top
          << "\n";
    }
    fs::rename(out / (name + ".tmp"), ready, ec);
    for (int i = 0; i < 200 && !fs::exists(done, ec); ++i) std::this_thread::sleep_for(50ms);
    return fs::exists(done, ec);
}

}  // namespace

int screenshots(const fs::path& out, const fs::path& folder) {
    ProgramCopy copy(folder);
    Process p;
    if (!copy.ok() || !p.start(copy.exe())) return 1;
    int failures = 0;
    failures += !shoot(out, "win32-gate", waitWindow(p.id(), L"pwdyz"));
    return failures;
}

}  // namespace tessmar::guitest
