#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files_detail.h"

namespace tessmar::platform::detail {

PathKind kindOf(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return PathKind::Missing;
    return std::filesystem::is_regular_file(status) ? PathKind::File : PathKind::Other;
}

Status writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string_view bytes, Access access) {
    const bool narrow = access == Access::AdministratorsOnly;
    // A stale temporary file would keep its own mode through O_CREAT; start from none.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC,
                          narrow ? 0600 : 0666);
    if (fd < 0) return fail("无法在 " + pathText(target.parent_path()) + " 中建立文件");
    // Exactly owner read and write, whatever the umask took away.
    bool ok = !narrow || ::fchmod(fd, 0600) == 0;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    // The new content must be on disk before it replaces the old.
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) return fail("写入文件 " + pathText(target) + " 时出错");
    return {};
}

}  // namespace tessmar::platform::detail
