#pragma once
// The program's one command line, "tessmar --export FOLDER", for scripts: no window, no password,
// nothing written to the PC.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessmar::gpo {

// args: the arguments after the program name; dir: the program directory. The exit code when the
// arguments were this command line's (0 done, 1 the export failed, 2 misused); nullopt when they
// were not, and the program starts as usual.
std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err);

}  // namespace tessmar::gpo
