#pragma once
// Drives another program's real windows as a person would: finds them by class name, finds
// controls by id, moves the mouse and presses its buttons at a control's place (SendInput), types
// by posting the messages a keyboard gives to the focused control (so the keys reach it whichever
// window the X server has in front), and answers message boxes. Texts are UTF-8.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tessmar::guitest {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// A started program; ended (if still running) when this goes.
class Process {
  public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    // Starts exe with its own folder as working folder and the arguments (a command line) given;
    // false if it could not be started.
    bool start(const std::filesystem::path& exe, const std::wstring& arguments = {});
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    bool running() const;
    // Waits for the program to end by itself; its exit code, or nullopt on timeout.
    std::optional<DWORD> wait(std::chrono::milliseconds timeout);
    void kill();
    // The peak working set so far, in bytes (0 if unknown).
    std::size_t peakWorkingSet() const;

  private:
    PROCESS_INFORMATION info_{};
};

// The visible top-level window of that class belonging to the process, waiting up to timeout.
HWND waitWindow(DWORD process, std::wstring_view className,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));
// True once no visible window of that class belongs to the process any more.
bool waitGone(DWORD process, std::wstring_view className,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The control with that id anywhere inside the window (controls may sit in frames), or nullptr.
HWND control(HWND window, int id);

std::string windowText(HWND window);
std::wstring className(HWND window);

// A real left (or right) press and release at the centre of the control, or at (x, y) inside it.
void press(HWND target, bool right = false);
void pressAt(HWND target, int x, int y, bool right = false);
// Moves the pointer to the centre of the control.
void hover(HWND target);
// The control that has the keyboard focus in the thread of that window, or nullptr.
HWND focused(HWND window);
// Types the text (any characters, as WM_CHAR) into the control that has the focus in the thread of
// that window.
void type(HWND window, std::string_view text);
// A key by its virtual-key code (VK_RETURN, VK_ESCAPE, VK_TAB, ...): down, its character, up.
void key(HWND window, WORD virtualKey);
// Gives the window the keyboard and waits until it is the foreground window.
void bringForward(HWND window);
// Waits until the window and every control in it have painted what they were asked to.
bool waitPainted(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Lets the other program handle what it was sent; returns after the time given.
void settle(std::chrono::milliseconds time = std::chrono::milliseconds(150));

struct Box {
    HWND window = nullptr;
    std::string title, text;
};
// The message box (a #32770 dialog) the process shows, waiting up to timeout.
std::optional<Box> waitMessageBox(DWORD process,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(5));
// Presses its OK (IDOK) or Cancel (IDCANCEL) button; false if the box has no such button.
bool answer(const Box& box, int button);

}  // namespace tessmar::guitest
