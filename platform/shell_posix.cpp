// The desktop shell on free desktops: xdg-open, left to run on its own.
#include <spawn.h>
#include <sys/wait.h>

#include "platform/shell.h"

extern char** environ;

namespace tessmar::platform {
namespace {

class XdgShell : public Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        // xdg-open may wait for the viewer it starts, so a short-lived shell puts it in the
        // background: the window never waits for the viewer. Whether the viewer maximises is its
        // own choice here.
        std::string target = file.string();
        char* argv[] = {const_cast<char*>("sh"),
                        const_cast<char*>("-c"),
                        const_cast<char*>("xdg-open \"$1\" >/dev/null 2>&1 &"),
                        const_cast<char*>("sh"),
                        target.data(),
                        nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "sh", nullptr, nullptr, argv, environ) != 0) return false;
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() {
    return std::make_unique<XdgShell>();
}

}  // namespace tessmar::platform
