#include <system_error>

#include "platform/instance.h"
#include "platform/lock.h"

namespace tessmar::platform {

std::string instanceFolderKey(const std::filesystem::path& programDir) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(programDir, ec);
    return (ec ? std::filesystem::absolute(programDir, ec) : full).string();
}

// A lock on a file in the folder, which the system lets go when the process ends however it ends.
struct InstanceClaim::Handle {
    FileLock lock;
};

InstanceClaim::InstanceClaim(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InstanceClaim::InstanceClaim(InstanceClaim&&) noexcept = default;
InstanceClaim& InstanceClaim::operator=(InstanceClaim&&) noexcept = default;
InstanceClaim::~InstanceClaim() = default;

Result<std::optional<InstanceClaim>> InstanceClaim::claim(const std::filesystem::path& programDir) {
    auto taken = FileLock::tryAcquire(programDir / "tessmar-instance.lock");
    if (!taken) return std::unexpected(taken.error());
    if (!*taken) return std::optional<InstanceClaim>();
    return std::optional<InstanceClaim>(
        InstanceClaim(std::make_unique<Handle>(Handle{std::move(**taken)})));
}

}  // namespace tessmar::platform
