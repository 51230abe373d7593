#pragma once
// The Group Policy export: from the choices as stored, the two Registry.pol halves and the .reg
// file, made in memory first so that bad input writes nothing.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "gpo/effects.h"
#include "gpo/preg.h"
#include "platform/result.h"

namespace tessmar::gpo {

inline constexpr const char* kRegFileName = "tessmar.reg";

struct Export {
    Effects effects;
    PolHalf user;                              // HKEY_CURRENT_USER
    PolHalf machine;                           // HKEY_LOCAL_MACHINE
    std::string userPol, machinePol, regFile;  // the three files' bytes
    // Every write a Registry.pol does not carry, with its reason (HKEY_CLASSES_ROOT and
    // HKEY_USERS entries among them; the .reg file still holds those).
    std::vector<std::string> leftOut;
};

// The export of what applying every category writes.
Result<Export> buildExport(const std::filesystem::path& dir);
Result<Export> buildExport(Effects effects);

// What was written where, for the window and the command line.
struct Written {
    std::filesystem::path path;
    std::size_t entries = 0;
};
struct ExportReport {
    std::vector<Written> files;        // User, Machine, .reg
    std::vector<std::string> leftOut;  // Export::leftOut
    std::vector<std::string> notes;    // Effects::notes
};

// FOLDER/User/Registry.pol, FOLDER/Machine/Registry.pol and FOLDER/tessmar.reg, each written
// atomically; nothing is written when the input is bad.
Result<ExportReport> exportTo(const std::filesystem::path& dir,
                              const std::filesystem::path& folder);

// Why a folder could not be made, as one Chinese sentence naming it.
std::string folderFailure(const std::filesystem::path& folder, std::error_code ec);

// The report as Chinese lines: one per file, then the left-out writes and the notes.
std::vector<std::string> reportLines(const ExportReport& report);

}  // namespace tessmar::gpo
