#pragma once
#include <filesystem>
#include <memory>

namespace tessmar::platform {

// The desktop shell: opens a document with the program associated with it.
class Shell {
  public:
    virtual ~Shell() = default;
    // Opens the file maximised (ShellExecuteW "open" with SW_SHOWMAXIMIZED on Windows). False when
    // the shell could not be asked; whether the document then opens is the shell's affair.
    virtual bool openMaximised(const std::filesystem::path& file) = 0;
};

std::unique_ptr<Shell> makeSystemShell();

}  // namespace tessmar::platform
