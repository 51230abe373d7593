#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/lock.h"

namespace tessmar::platform {

struct FileLock::Handle {
    int fd = -1;
    ~Handle() {
        // Closing the descriptor lets the lock go.
        if (fd >= 0) ::close(fd);
    }
};

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileLock::FileLock(FileLock&&) noexcept = default;
FileLock& FileLock::operator=(FileLock&&) noexcept = default;
FileLock::~FileLock() = default;

Result<std::optional<FileLock>> FileLock::tryAcquire(const std::filesystem::path& file) {
    auto handle = std::make_unique<Handle>();
    handle->fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (handle->fd < 0) return fail("无法打开锁文件 " + pathText(file));
    if (::flock(handle->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return std::optional<FileLock>();
        return fail("无法锁定 " + pathText(file));
    }
    return std::optional<FileLock>(FileLock(std::move(handle)));
}

}  // namespace tessmar::platform
