#pragma once
// One copy of the program's windows per program folder, since two would write the same vorn.ini and
// targets.ini, each undoing the other's stored choices. The first start claims the folder and holds
// the claim while it runs; a later start finds it taken, has the running copy bring its window
// forward (each front end knows how) and ends. The command lines (tessmar --export, --accounts,
// --apply) never claim: they run beside a window, and apply passes keep apart by their own lock
// (engine/passlock.h).
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/result.h"

namespace tessmar::platform {

// The folder's name for its claim, the same for every copy started from it however the folder is
// spelt: "Tessmar-" and 16 hex digits of a hash of its full path (case folded on Windows).
std::string instanceName(const std::filesystem::path& programDir);

class InstanceClaim {
  public:
    // Claims the program folder for this copy (on Windows a named mutex, elsewhere a lock on a
    // file in the folder); nullopt while another running copy holds it. Fails when the claim
    // cannot be made at all.
    static Result<std::optional<InstanceClaim>> claim(const std::filesystem::path& programDir);

    InstanceClaim(InstanceClaim&&) noexcept;
    InstanceClaim& operator=(InstanceClaim&&) noexcept;
    ~InstanceClaim();

  private:
    struct Handle;
    explicit InstanceClaim(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace tessmar::platform
