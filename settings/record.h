#pragma once
// The sequential record format shared by vorn.ini, drives.ini and logo.ini: one record of
// comma-separated fields ended by CR LF, in code page 936. A text field is written in double quotes
// with its characters unchanged (commas and line breaks allowed, no double quote); an unset field
// is written as nothing.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/result.h"

namespace tessmar::settings {

using Field = std::optional<std::string>;  // nullopt: unset; otherwise UTF-8 text
using Record = std::vector<Field>;

// The file text (UTF-8, already decoded) of a record. Fails when a field cannot be written (it
// holds a double quote).
Result<std::string> formatRecord(const Record& record);

// Reads count fields from the start of text by the reading rules: blanks skipped; a quoted field
// runs to the next quote, then everything up to and including the next comma or line end is
// skipped; an unquoted field runs to the next comma or line end and is trimmed, empty meaning
// unset. Fails when the text ends before count fields or a quote never closes. A line end is CR LF,
// LF or a lone CR; the end of the text also ends the field being read, and a comma just before it
// promises one more (unset) field.
Result<Record> parseRecord(std::string_view text, std::size_t count);

// Whole-file forms: code page 936 on disk, written atomically.
Result<Record> readRecordFile(const std::filesystem::path& file, std::size_t count);
Status writeRecordFile(const std::filesystem::path& file, const Record& record,
                       platform::Access access = platform::Access::Default);

// One of the tool's record files, by its name in the program directory.
class RecordFile {
  public:
    RecordFile(const std::filesystem::path& dir, const char* name) : path_(dir / name) {}
    const std::filesystem::path& path() const { return path_; }
    bool exists() const;

  private:
    std::filesystem::path path_;
};

// Leading and trailing blanks (U+0020 only) removed.
std::string trimBlanks(std::string_view text);

}  // namespace tessmar::settings
