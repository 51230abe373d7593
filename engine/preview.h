#pragma once
// What "确定生效" would change, worked out from the same plan as the apply pass and read against
// the registry as it is now. Nothing is written.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/history.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine {

struct Preview {
    // Each value or subkey the apply would change: where, before (what it holds now), after.
    std::vector<Change> changes;
    std::size_t unchanged = 0;         // values the apply writes that already hold their state
    std::vector<std::string> notDone;  // what the apply would report as not written
};

// Fails as the apply would without writing (no category, user.dat missing or unreadable), or
// when the registry cannot be read. registry is the target's view; the places are named as that
// target's (targetWhere).
Result<Preview> preview(const std::filesystem::path& dir, platform::Registry& registry,
                        int category, const std::vector<bool>& flags, int nrow,
                        const std::vector<std::string>* customRows = nullptr,
                        const TargetRef& target = {});

}  // namespace tessmar::engine
