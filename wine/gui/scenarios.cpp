#include "scenarios.h"

#include <atomic>
#include <cmath>
#include <cstdio>
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

std::wstring classOf(forms::WindowKind kind) {
    return wide(forms::layoutOf(kind).name);
}

bool Tessmar::start() {
    return copy_.ok() && process_.start(copy_.exe());
}

HWND Tessmar::window(forms::WindowKind kind, std::chrono::milliseconds timeout) {
    HWND found = waitWindow(id(), classOf(kind), timeout);
    if (found) waitPainted(found);
    return found;
}

bool Tessmar::gone(forms::WindowKind kind) {
    return waitGone(id(), classOf(kind), 5s);
}

HWND Tessmar::control(forms::WindowKind kind, std::string_view name) {
    return guitest::control(window(kind, 2s), forms::controlId(forms::layoutOf(kind), name));
}

bool Tessmar::visible(forms::WindowKind kind, std::string_view name) {
    HWND c = control(kind, name);
    return c && IsWindowVisible(c);
}

void Tessmar::idle() {
    // A window just made may still be laying itself out; input sent now could land beside it.
    WaitForInputIdle(process_.handle(), 5000);
}

void Tessmar::press(forms::WindowKind kind, std::string_view name, bool right) {
    idle();
    bringForward(window(kind, 2s));
    if (HWND c = control(kind, name)) guitest::press(c, right);
}

void Tessmar::typeInto(forms::WindowKind kind, std::string_view name, std::string_view text) {
    press(kind, name);
    type(window(kind, 2s), text);
}

void Tessmar::pressRow(int row, bool right) {
    const auto& layout = forms::layoutOf(forms::WindowKind::Main);
    const forms::Control* grid = forms::findControl(layout, "Grid1");
    HWND g = control(forms::WindowKind::Main, "Grid1");
    if (!grid || !g || !grid->grid || grid->grid->columnTwips.size() < 2) return;
    const auto& shape = *grid->grid;
    idle();
    bringForward(window(forms::WindowKind::Main, 2s));
    // The program's dpi, from the grid's width on the screen.
    RECT outer{};
    GetWindowRect(g, &outer);
    const int dpi =
        static_cast<int>(std::lround((outer.right - outer.left) * 1440.0 / grid->place.width));
    const int rowPixels = forms::pixels(shape.rowTwips > 0 ? shape.rowTwips : 255, dpi);
    const int x =
        forms::pixels(shape.columnTwips[0], dpi) + forms::pixels(shape.columnTwips[1], dpi) / 2;
    pressAt(g, x, rowPixels * row + rowPixels / 2, right);
}

bool Tessmar::enter(std::string_view password) {
    if (!window(forms::WindowKind::Gate)) return false;
    if (!password.empty()) typeInto(forms::WindowKind::Gate, "Text2", password);
    press(forms::WindowKind::Gate, "OKButton");
    return window(forms::WindowKind::Main) != nullptr;
}

void Tessmar::close(forms::WindowKind kind) {
    if (HWND w = window(kind, 1s)) PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    gone(kind);
}

namespace {

// Hands the window's place to the script and waits until it has taken the picture.
bool shoot(const fs::path& out, const std::string& name, HWND window) {
    if (!window) return false;
    bringForward(window);
    // The pointer out of the way, so that no tooltip covers the window.
    SetCursorPos(0, 0);
    waitPainted(window);
    settle(700ms);
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
    using forms::WindowKind;
    Tessmar t(folder);
    if (!t.start()) return 1;
    int failures = 0;
    auto shot = [&](const char* name, HWND window) {
        if (!shoot(out, name, window)) {
            std::fprintf(stderr, "no picture of %s\n", name);
            ++failures;
        }
    };
    shot("win32-gate", t.window(WindowKind::Gate));
    // A refused password, for a look at a message box.
    t.typeInto(WindowKind::Gate, "Text2", "x");
    t.press(WindowKind::Gate, "OKButton");
    if (auto box = waitMessageBox(t.id())) {
        shot("win32-message", box->window);
        answer(*box, IDOK);
        waitGone(t.id(), L"#32770", 3s);
    }
    if (!t.enter("")) return failures + 1;
    shot("win32-main", t.window(WindowKind::Main));
    t.press(WindowKind::Main, "Command2(1)");
    t.press(WindowKind::Main, "Command3(0)");
    shot("win32-main-checklist", t.window(WindowKind::Main));
    t.pressRow(2, true);
    shot("win32-drives", t.window(WindowKind::Drives));
    t.close(WindowKind::Drives);
    t.pressRow(3, true);
    // The right button came up over the new window's text box and opened its menu: a click
    // beside it closes the menu.
    t.press(WindowKind::Notice, "Label1(0)");
    shot("win32-logo", t.window(WindowKind::Notice));
    t.close(WindowKind::Notice);
    t.press(WindowKind::Main, "Command4(3)");
    shot("win32-pwsword", t.window(WindowKind::Password));
    t.close(WindowKind::Password);
    t.press(WindowKind::Main, "Command2(4)", true);
    HWND editor = t.window(WindowKind::Editor);
    if (HWND list = t.control(WindowKind::Editor, "Grid1")) {
        // The first entry of the shipped file, shown in the boxes.
        pressAt(list, 20, forms::pixels(255) / 2);
    }
    shot("win32-usersys", editor);
    t.close(WindowKind::Editor);
    return failures;
}

}  // namespace tessmar::guitest
