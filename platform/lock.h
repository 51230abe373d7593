#pragma once
// An exclusive lock on a file, held while the object lives: how two copies of the program (a
// window and a script, say) keep their registry passes from overlapping. The file stays when the
// lock goes; only the lock on it comes and goes.
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/result.h"

namespace tessmar::platform {

class FileLock {
  public:
    // Takes the lock on file (made when missing), waiting up to wait while another holder has it.
    // Fails when it cannot be had in that time, or the file cannot be opened.
    static Result<FileLock> acquire(const std::filesystem::path& file,
                                    std::chrono::milliseconds wait);
    // Takes it only when free at once; nullopt while another holder has it.
    static Result<std::optional<FileLock>> tryAcquire(const std::filesystem::path& file);

    FileLock(FileLock&&) noexcept;
    FileLock& operator=(FileLock&&) noexcept;
    ~FileLock();

  private:
    struct Handle;
    explicit FileLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace tessmar::platform
