// The Windows shell: ShellExecuteA with the verb "open".
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

#include "platform/codepage.h"
#include "platform/shell.h"

namespace tessmar::platform {
namespace {

class WindowsShell : public Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        auto u8 = file.u8string();
        auto narrow = toCp936(std::string(u8.begin(), u8.end()));
        if (!narrow) return false;
        HINSTANCE result =
            ShellExecuteA(nullptr, "open", narrow->c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
        // Values up to 32 are the shell's error codes.
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() {
    return std::make_unique<WindowsShell>();
}

}  // namespace tessmar::platform
