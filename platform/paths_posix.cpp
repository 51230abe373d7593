#include <system_error>

#include "platform/paths.h"

namespace tessmar::platform {

std::filesystem::path programDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

std::string getwindowsdir() {
    return kWindowsDirStandIn;
}

}  // namespace tessmar::platform
