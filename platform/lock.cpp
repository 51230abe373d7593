#include "platform/lock.h"

#include <thread>

#include "platform/files.h"

namespace tessmar::platform {

Result<FileLock> FileLock::acquire(const std::filesystem::path& file,
                                   std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        auto taken = tryAcquire(file);
        if (!taken) return std::unexpected(taken.error());
        if (*taken) return std::move(**taken);
        if (std::chrono::steady_clock::now() >= deadline)
            return fail("另一个 Tessmar 正在写入（" + pathText(file) + " 被占用）");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tessmar::platform
