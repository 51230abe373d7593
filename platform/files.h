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

Status writeFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tessmar::platform
