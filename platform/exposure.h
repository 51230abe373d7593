#pragma once
// Whether the program's folder lets users other than the administrators in. The tool runs with
// administrator rights and does what its files say: whoever can replace user.dat has their entries
// applied with those rights, and whoever can replace or delete vorn.ini sets the password.
#include <filesystem>
#include <optional>
#include <string>

#include "platform/result.h"

namespace tessmar::platform {

// Why users other than the administrators can change, replace or delete path, as a Chinese phrase
// ("Users 可以写入"); nullopt when only administrators can, or when path does not exist (a missing
// file in a folder that others cannot write stays missing). Windows: from the owner and the DACL;
// elsewhere: from the owner and the mode bits, trusting root and the account that runs the tool.
std::optional<std::string> writableByOthers(const std::filesystem::path& path);

// The start-up warning for the program folder dir: which of the folder, user.dat and vorn.ini
// others can change, what that puts at risk and how to put it right; nullopt when all three are
// safe. The tool still runs: the warning only tells.
std::optional<std::string> exposureWarning(const std::filesystem::path& dir);

// Puts right what the warning names: the folder dir gets Administrators and SYSTEM full control and
// Users read and execute, nothing inherited from above, and user.dat and vorn.ini follow it
// (vorn.ini staying readable by the administrators only); on other systems owner root and no write
// for group and others. Says what was done, or fails saying why it could not be done.
Result<std::string> restrictFolder(const std::filesystem::path& dir);

}  // namespace tessmar::platform
