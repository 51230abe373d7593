#pragma once
// The program's command lines, for scripts: no window and no password (on Windows the manifest
// already demands administrator rights).
//   tessmar --export FOLDER                 the Group Policy export; nothing written to the PC
//   tessmar --accounts                      the targets an apply can go to, one per line
//   tessmar --apply CATEGORY [--to TARGET] [--choose SELECTION]
//                                           the apply pass of "确定生效", to any target
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/accounts.h"
#include "platform/registry.h"

namespace tessmar::gpo {

// What the command lines reach: the registry and the accounts of this system, or a test's.
struct System {
    platform::Registry& registry;
    platform::Accounts& accounts;
};

// args: the arguments after the program name; dir: the program directory. The exit code when the
// arguments were one of the command lines (0 done, 1 failed, 2 misused); nullopt when they were
// not, and the program starts as usual.
std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err);
std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err, System system);

}  // namespace tessmar::gpo
