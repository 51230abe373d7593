#pragma once
// The program under test: a fresh copy of its folder for each start-up story, and the steps that
// the tests, the screenshots and the measurements share.
#include <windows.h>

#include <filesystem>
#include <string>

#include "driver.h"
#include "forms/layout.h"

namespace tessmar::guitest {

// The program's folder (tessmar.exe, user.dat, help.htm) copied to a new temporary folder, so that
// every story starts without vorn.ini; removed again at the end.
class ProgramCopy {
  public:
    explicit ProgramCopy(const std::filesystem::path& folder);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path exe() const { return dir_ / "tessmar.exe"; }
    bool ok() const { return ok_; }

  private:
    std::filesystem::path dir_;
    bool ok_ = false;
};

// The window class of a window kind.
std::wstring classOf(forms::WindowKind kind);

// One run of the program in its own copy of the folder; windows and controls are found by the
// names of the forms' controls tables.
class Tessmar {
  public:
    explicit Tessmar(const std::filesystem::path& folder) : copy_(folder) {}
    bool start();
    const ProgramCopy& copy() const { return copy_; }
    Process& process() { return process_; }
    DWORD id() const { return process_.id(); }

    HWND window(forms::WindowKind kind,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool gone(forms::WindowKind kind);
    HWND control(forms::WindowKind kind, std::string_view name);
    bool visible(forms::WindowKind kind, std::string_view name);
    // Waits until the program waits for input.
    void idle();
    // Brings the window forward and presses the control with the mouse.
    void press(forms::WindowKind kind, std::string_view name, bool right = false);
    // Clicks into the box, then types.
    void typeInto(forms::WindowKind kind, std::string_view name, std::string_view text);
    // A press on a row of the main window's checklist, in the item text column.
    void pressRow(int row, bool right);
    // Through the gate with that password; true once the main window is there.
    bool enter(std::string_view password);
    // The window's close box, as the system menu's Close (there is no title bar to click here).
    void close(forms::WindowKind kind);

  private:
    ProgramCopy copy_;
    Process process_;
};

// Opens every window of the program in turn; for each, writes OUT/<name>.ready holding the
// window's screen rectangle and waits for OUT/<name>.done from the script that takes the picture.
int screenshots(const std::filesystem::path& out, const std::filesystem::path& folder);

}  // namespace tessmar::guitest
