// The system's own local policy folder, from the system directory Windows reports.
#include <windows.h>

#include "gpo/localpolicy.h"

namespace tessmar::gpo {

Result<std::vector<std::string>> applyToStandardUsers(const std::filesystem::path& dir) {
    wchar_t buffer[MAX_PATH];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return fail("无法取得 Windows 的系统文件夹。");
    auto built = buildExport(dir);
    if (!built) return std::unexpected(built.error());
    return writeLocalPolicy(std::filesystem::path(buffer), *built);
}

}  // namespace tessmar::gpo
