// The Windows shell: ShellExecuteW with the verb "open", so that a file in a folder of any name
// opens whatever the PC's code page.
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

#include "platform/shell.h"

namespace tessmar::platform {
namespace {

class WindowsShell : public Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        HINSTANCE result =
            ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
        // Values up to 32 are the shell's error codes.
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() {
    return std::make_unique<WindowsShell>();
}

}  // namespace tessmar::platform
