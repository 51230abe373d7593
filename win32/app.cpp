// The program for Windows: the start-up gate opens it; the forms do the rest.
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/program.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "win32/desktop.h"
#include "win32/dpi.h"
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
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) return result;
    for (int i = 1; i < count; ++i) result.push_back(tessmar::win32::utf8(words[i]));
    LocalFree(words);
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::string> args = arguments();
    // COMMAND LINE: `tessmar --export FOLDER` belongs to the core (gpo::runCommandLine), which
    // works without a window. Without arguments the program opens the gate.
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

    tessmar::win32::becomeDpiAware();
    // The help page opens through the shell, whose extensions expect COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    const auto registry = tessmar::platform::makeSystemRegistry();
    const auto shell = tessmar::platform::makeSystemShell();
    const auto messages = tessmar::platform::makeSystemMessageBoxes();
    tessmar::win32::Desktop desktop;
    tessmar::forms::Program program(
        tessmar::forms::Context{tessmar::platform::programDir(), *registry, *messages, *shell},
        desktop);
    desktop.setProgram(program);
    program.open(tessmar::forms::WindowKind::Gate);
    const int code = desktop.run();
    // The windows go while the program and their forms are still there.
    desktop.closeAll();
    return code;
}
