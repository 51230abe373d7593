#pragma once
// The system-specific half of the atomic write and of asking what a path names (files_posix.cpp,
// files_win.cpp).
#include <filesystem>
#include <string_view>

#include "platform/files.h"

namespace tessmar::platform::detail {

enum class PathKind { Missing, File, Other };
// What the path names, in one question to the system: the C library's stat under Wine costs
// about a millisecond, and reading a settings file asked it three times.
PathKind kindOf(const std::filesystem::path& path);

// Makes temp afresh (a stale one is replaced) with the given access, writes bytes and puts them on
// disk; target, the file temp is to replace, is what failures name.
Status writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string_view bytes, Access access);

}  // namespace tessmar::platform::detail
