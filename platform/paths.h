#pragma once
#include <filesystem>
#include <string>

namespace tessmar::platform {

// The directory of the program file; every file of the tool lives there.
std::filesystem::path programDir();

// The Windows directory as the system reports it (GetWindowsDirectoryW on Windows). On other
// systems there is none, so the stand-in value kWindowsDirStandIn is returned: the usual directory
// of a Windows installation, which is all the settings file carries it for.
std::string getwindowsdir();

inline constexpr const char* kWindowsDirStandIn = "C:\\WINDOWS";

}  // namespace tessmar::platform
