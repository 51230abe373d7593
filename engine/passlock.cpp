#include "engine/passlock.h"

namespace tessmar::engine {

Result<platform::FileLock> lockPass(const std::filesystem::path& dir,
                                    std::chrono::milliseconds wait) {
    auto lock = platform::FileLock::acquire(dir / kPassLockName, wait);
    if (!lock)
        return fail("另一个 Tessmar 正在写入注册表和设置文件，等了 " +
                    std::to_string((wait.count() + 999) / 1000) + " 秒仍未结束（" +
                    lock.error().message + "）。");
    return lock;
}

}  // namespace tessmar::engine
