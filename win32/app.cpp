// The program for Windows: the start-up gate opens it; the forms do the rest.
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "forms/program.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "win32/art.h"
#include "win32/desktop.h"
#include "win32/dpi.h"
#include "win32/instance.h"
#include "win32/text.h"

#ifdef TESSMAR_HAS_COMMAND_LINE
#include <sstream>

#include "gpo/cli.h"
#endif

namespace tessmar::platform {
// The Windows message boxes (platform/messages_win.cpp).
std::unique_ptr<MessageBoxes> makeSystemMessageBoxes();
}  // namespace tessmar::platform

namespace {

#ifdef TESSMAR_HAS_COMMAND_LINE
// A windowed program has no console of its own: the text goes to the console it was started
// from, or to where its output was redirected.
void write(DWORD which, const std::string& text) {
    if (text.empty()) return;
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const std::wstring wide = tessmar::win32::wide(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else if (handle && handle != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}
#endif

std::vector<std::string> arguments() {
    // The runtime has split the UTF-16 command line already (-municode).
    std::vector<std::string> result;
    for (int i = 1; i < __argc; ++i) result.push_back(tessmar::win32::utf8(__wargv[i]));
    return result;
}

// COM starts on this thread when the shell is first asked (the help page): its extensions expect
// it, and nothing else in the program needs COM, so start-up does not load it.
class ComShell : public tessmar::platform::Shell {
  public:
    explicit ComShell(std::unique_ptr<tessmar::platform::Shell> shell) : shell_(std::move(shell)) {}
    bool openMaximised(const std::filesystem::path& file) override {
        if (!comStarted_) {
            comStarted_ = true;
            using InitFn = HRESULT(WINAPI*)(LPVOID, DWORD);
            if (HMODULE ole = LoadLibraryW(L"ole32.dll"))
                if (auto init = reinterpret_cast<InitFn>(
                        reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx"))))
                    init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        }
        return shell_->openMaximised(file);
    }

  private:
    std::unique_ptr<tessmar::platform::Shell> shell_;
    bool comStarted_ = false;
};

tessmar::win32::Desktop* preparing = nullptr;
tessmar::forms::Program* preparingTargets = nullptr;

// A moment after the gate has painted (a timer comes only when nothing waits to be painted, and
// its picture then reaches the screen undisturbed), the main window's pictures are decoded and
// scaled on a thread of their own and its window is made, hidden, while the password is typed;
// the targets its first checklist lists are listed once ahead too.
void CALLBACK prepareMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::vector<std::tuple<std::string, int, int>> wanted;
    for (const auto& c : tessmar::forms::layoutOf(tessmar::forms::WindowKind::Main).controls) {
        using tessmar::forms::Kind;
        if (c.picture.empty() ||
            (c.kind != Kind::PictureBox && c.kind != Kind::Frame && c.kind != Kind::Image))
            continue;
        wanted.emplace_back(std::string(c.picture), tessmar::forms::pixels(c.place.width, dpi),
                            tessmar::forms::pixels(c.place.height, dpi));
    }
    tessmar::win32::art::prepare(std::move(wanted));
    if (preparing) preparing->prepare(tessmar::forms::WindowKind::Main);
    if (preparingTargets) preparingTargets->prepareTargets();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::string> args = arguments();
    // COMMAND LINES: `tessmar --export`, `--accounts` and `--apply` belong to the core
    // (gpo::runCommandLine), which works without a window. Without arguments the program opens the
    // gate.
#ifdef TESSMAR_HAS_COMMAND_LINE
    if (!args.empty()) {
        std::ostringstream out, err;
        const std::optional<int> code =
            tessmar::gpo::runCommandLine(args, tessmar::platform::programDir(), out, err);
        if (code) {
            AttachConsole(ATTACH_PARENT_PROCESS);
            write(STD_OUTPUT_HANDLE, out.str());
            write(STD_ERROR_HANDLE, err.str());
            return *code;
        }
    }
#else
    (void)args;
#endif

    // One copy per program folder: a later start brings the running copy's window forward and
    // ends. Where the folder cannot be claimed at all, the program still runs. The command lines
    // above never claim it.
    const std::filesystem::path dir = tessmar::platform::programDir();
    const auto claim = tessmar::platform::InstanceClaim::claim(dir);
    if (claim && !*claim) {
        tessmar::win32::bringRunningCopyForward(dir, std::chrono::seconds(3));
        return 0;
    }

    tessmar::win32::becomeDpiAware();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    const auto registry = tessmar::platform::makeSystemRegistry();
    ComShell shellWithCom(tessmar::platform::makeSystemShell());
    tessmar::platform::Shell* const shell = &shellWithCom;
    const auto messages = tessmar::platform::makeSystemMessageBoxes();
    tessmar::win32::Desktop desktop;
    tessmar::forms::Program program(tessmar::forms::Context{dir, *registry, *messages, *shell},
                                    desktop);
    desktop.setProgram(program);
    preparing = &desktop;
    preparingTargets = &program;
    program.open(tessmar::forms::WindowKind::Gate);
    SetTimer(nullptr, 0, 100, prepareMainWindow);
    const int code = desktop.run();
    preparing = nullptr;
    preparingTargets = nullptr;
    // The windows go while the program and their forms are still there.
    desktop.closeAll();
    return code;
}
