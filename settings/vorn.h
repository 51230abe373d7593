#pragma once
// vorn.ini, the tool's memory between runs: seven fields, see the table below.
#include <filesystem>
#include <string>
#include <string_view>

#include "settings/record.h"

namespace tessmar::settings {

inline constexpr const char* kSettingsFileName = "vorn.ini";
inline constexpr std::size_t kSettingsFieldCount = 7;
// The gate reads only the first six fields.
inline constexpr std::size_t kGateFieldCount = 6;

// Field numbers as the file counts them.
inline constexpr int kFieldIe = 1;        // selection string of category 0
inline constexpr int kFieldWindir = 2;    // the Windows directory
inline constexpr int kFieldPassword = 3;  // the administrator password, plain text
inline constexpr int kFieldDesk = 4;      // category 1
inline constexpr int kFieldNet = 5;       // category 2
inline constexpr int kFieldFile = 6;      // category 3
inline constexpr int kFieldCustom = 7;    // category 4

// Field number n (1-based) of a record read or to be written.
Field& field(Record& record, int number);
const Field& field(const Record& record, int number);

class SettingsFile : public RecordFile {
  public:
    explicit SettingsFile(const std::filesystem::path& dir) : RecordFile(dir, kSettingsFileName) {}

    // The record the start-up gate makes when the file is missing: "",windir,,,,"",
    Status createForGate(std::string_view windir) const;
    // The record a category button makes when the file is missing: ,"windir",,,,,
    Status createForChecklist(std::string_view windir) const;

    // The first count fields. A file that is missing, holds fewer fields or has a quote that never
    // closes is an error, and nothing here ever rewrites such a file.
    Result<Record> read(std::size_t count = kSettingsFieldCount) const;
    // All seven fields, atomically.
    Status write(const Record& record) const;

    // Reads the record, replaces field 3 with the password trimmed of blanks, and writes it back
    // with field 7 as text. A password the file cannot hold (a double quote, a character outside
    // code page 936) is refused and nothing is written.
    Status changePassword(std::string_view password) const;
};

// The stored password (unset counts as empty) against what was typed, both trimmed of blanks;
// exact.
bool passwordMatches(const Record& record, std::string_view typed);

}  // namespace tessmar::settings
