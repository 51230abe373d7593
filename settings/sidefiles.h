#pragma once
// drives.ini and logo.ini: what the drive hiding and logon notice windows hand to the apply pass.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/record.h"

namespace tessmar::settings {

inline constexpr const char* kDrivesFileName = "drives.ini";
inline constexpr const char* kNoticeFileName = "logo.ini";

// Drives A: to O:, drive number i standing for the letter 'A' + i.
inline constexpr int kDriveCount = 15;
using DriveFlags = std::array<bool, kDriveCount>;  // true: hide

// "001100000000000" for C and D.
std::string driveSelection(const DriveFlags& hide);
// Bit i for drive i: 12 for C and D.
std::uint32_t driveMask(const DriveFlags& hide);
// The mask as stored: one blank, then the decimal digits (" 12").
std::string maskText(std::uint32_t mask);
// Field 1 back to flags: trimmed, drive i hidden exactly when character i + 1 is "1".
DriveFlags parseDriveSelection(std::string_view selection);
// Field 2 to a number: leading blanks skipped, the decimal digits that follow read; empty gives 0.
// A number too large for 32 bits is a damaged file (nullopt): no mask of it hides the right drives.
std::optional<std::uint32_t> parseMaskText(std::string_view text);

struct DrivesRecord {
    std::string selection;  // field 1
    std::string maskText;   // field 2
};

class DrivesFile : public RecordFile {
  public:
    explicit DrivesFile(const std::filesystem::path& dir) : RecordFile(dir, kDrivesFileName) {}
    // "000000000000000",""
    Status makeDefault() const;
    // An unset field reads as empty text.
    Result<DrivesRecord> read() const;
    Status write(const DriveFlags& hide) const;
};

struct Notice {
    std::string title;
    std::string text;
};

class NoticeFile : public RecordFile {
  public:
    explicit NoticeFile(const std::filesystem::path& dir) : RecordFile(dir, kNoticeFileName) {}
    // ,""
    Status makeDefault() const;
    // Untrimmed; an unset field reads as empty text.
    Result<Notice> read() const;
    // Each trimmed of blanks, U+0020 only (line breaks and ideographic spaces at the ends stay).
    // Refused, writing nothing, when either holds a double quote or a character outside code page
    // 936.
    Status write(std::string_view title, std::string_view text) const;
};

}  // namespace tessmar::settings
