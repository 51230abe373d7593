// The system's own local policy folder, from the system directory Windows reports.
#include <windows.h>

#include "gpo/localpolicy.h"

namespace tessmar::gpo {

Result<std::filesystem::path> localPolicyRoot(const std::filesystem::path&) {
    wchar_t buffer[MAX_PATH];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return fail("无法取得 Windows 的系统文件夹。");
    return std::filesystem::path(buffer);
}

Result<std::vector<std::string>> applyToStandardUsers(const std::filesystem::path& dir) {
    auto root = localPolicyRoot(dir);
    if (!root) return std::unexpected(root.error());
    auto built = buildExport(dir);
    if (!built) return std::unexpected(built.error());
    return writeLocalPolicy(*root, *built);
}

}  // namespace tessmar::gpo
