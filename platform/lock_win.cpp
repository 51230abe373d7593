#include <windows.h>

#include "platform/files.h"
#include "platform/lock.h"

namespace tessmar::platform {

struct FileLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        // Closing the handle lets the lock go.
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileLock::FileLock(FileLock&&) noexcept = default;
FileLock& FileLock::operator=(FileLock&&) noexcept = default;
FileLock::~FileLock() = default;

Result<std::optional<FileLock>> FileLock::tryAcquire(const std::filesystem::path& file) {
    auto handle = std::make_unique<Handle>();
    handle->file = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) return fail("无法打开锁文件 " + pathText(file));
    OVERLAPPED whole{};
    if (!LockFileEx(handle->file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                    &whole)) {
        if (GetLastError() == ERROR_LOCK_VIOLATION) return std::optional<FileLock>();
        return fail("无法锁定 " + pathText(file));
    }
    return std::optional<FileLock>(FileLock(std::move(handle)));
}

}  // namespace tessmar::platform
