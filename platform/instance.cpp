#include "platform/instance.h"

#include <cstdint>
#include <cstdio>

namespace tessmar::platform {

// The folder's full path in one spelling (instance_posix.cpp, instance_win.cpp).
std::string instanceFolderKey(const std::filesystem::path& programDir);

std::string instanceName(const std::filesystem::path& programDir) {
    // FNV-1a: stable across runs and builds, which std::hash need not be.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : instanceFolderKey(programDir)) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[40];
    std::snprintf(text, sizeof text, "Tessmar-%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace tessmar::platform
