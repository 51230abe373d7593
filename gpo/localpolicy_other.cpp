// Local Group Policy exists on Windows only; the stand-in keeps the standard users' policy beside
// the program.
#include "gpo/localpolicy.h"

namespace tessmar::gpo {

Result<std::filesystem::path> localPolicyRoot(const std::filesystem::path& dir) {
    return dir;
}

Result<std::vector<std::string>> applyToStandardUsers(const std::filesystem::path&) {
    return fail("只有在 Windows 上才能写入本机的组策略。");
}

}  // namespace tessmar::gpo
