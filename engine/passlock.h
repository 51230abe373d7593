#pragma once
// No two passes that write the registry and the tool's files ever overlap, whichever copy of the
// program runs them (a window, a script): each holds this lock in the program directory while it
// reads, writes and records, so neither undoes what the other stored.
#include <chrono>
#include <filesystem>

#include "platform/lock.h"
#include "platform/result.h"

namespace tessmar::engine {

inline constexpr const char* kPassLockName = "tessmar.lock";
inline constexpr std::chrono::milliseconds kPassLockWait{5000};

// Waits up to wait for the pass lock of the program directory dir. The failure is one Chinese
// sentence saying another pass holds it.
Result<platform::FileLock> lockPass(const std::filesystem::path& dir,
                                    std::chrono::milliseconds wait = kPassLockWait);

}  // namespace tessmar::engine
