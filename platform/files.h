#pragma once
// Whole-file access for the tool's small files. Writes are atomic: the bytes go to a temporary file
// in the same folder, which then replaces the target, so a crash never leaves a half-written file.
#include <filesystem>
#include <string>

#include "platform/result.h"

namespace tessmar::platform {

// The path as UTF-8 text, for messages.
std::string pathText(const std::filesystem::path& path);

bool fileExists(const std::filesystem::path& path);

// The file's bytes. A missing file is an error too; callers that treat "missing" specially ask
// fileExists first.
Result<std::string> readFile(const std::filesystem::path& path);

// Who may open a file that writeFileAtomic makes.
enum class Access {
    // As the folder gives it: on Windows the folder's inherited permissions, elsewhere the umask.
    Default,
    // Administrators and the system only, for a file that holds a secret: on Windows a protected
    // DACL granting full access to Administrators and SYSTEM and nobody else, elsewhere mode 0600
    // (the owner, who is the administrator running the tool). The temporary file is made that way,
    // so the new content is never readable by others, and a wider file is narrowed by its rewrite.
    AdministratorsOnly,
};

Status writeFileAtomic(const std::filesystem::path& path, std::string_view bytes,
                       Access access = Access::Default);

}  // namespace tessmar::platform
