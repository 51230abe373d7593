#pragma once
// The REGEDIT4 text format that the registry editor imports (code page 936 bytes, CR LF): the one
// writer and reader of its sections, value lines, continuation lines and deletion lines, shared by
// the registry stand-in, the history records and the .reg export.
#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tessmar::platform::regedit4 {

inline constexpr std::string_view kHeader = "REGEDIT4";

// --- Writing

// True when the text is whole characters and holds no control character: what a line can carry
// between quotes without ending early or changing on the way back.
bool printable(std::string_view text);
// A REG_SZ written as a quoted string: one terminating zero with printable text before it. Any
// other data travels as a hex list, its bytes unchanged.
bool quotable(const RegValue& value);

// "[ROOT\path]" and CR LF; with deletion "[-ROOT\path]", which removes the key on import, with
// everything below it.
std::string sectionLine(RegRoot root, std::string_view path, bool deletion = false);
// The value line `"name"=data` (`@=data` for the unnamed value) ended by CR LF, long hex lists
// wrapped over lines ending in a backslash as the registry editor wraps them.
std::string valueLine(std::string_view name, const RegValue& value);
// The line that deletes the value on import: `"name"=-` and CR LF.
std::string deletionLine(std::string_view name);

// --- Reading

struct Line {
    std::string_view text;
    std::size_t number;  // from 1
};
// The text split at its line feeds, a carriage return before one dropped.
std::vector<Line> splitLines(std::string_view bytes);
// Blanks and tabs at both ends, and a carriage return at the end, removed.
std::string_view trim(std::string_view line);
// Whether the first line is the REGEDIT4 header.
bool startsWithHeader(const std::vector<Line>& lines);

// Why a line cannot be read, as the end of a sentence that names the line ("的数据不能识别").
using Refusal = const char*;

struct Section {
    RegRoot root{};
    std::string path;  // below the root; empty for the root itself
};
// A trimmed line that starts with '[': the key it names. A deleting section is refused.
std::expected<Section, Refusal> parseSection(std::string_view line);

// One value read: the name, and the value or nullopt for a deletion line.
struct ParsedValue {
    std::string name;
    std::optional<RegValue> value;
};
// The value line at lines[i] and the lines that continue its hex list; i is left on the last line
// it took.
std::expected<ParsedValue, Refusal> readValue(const std::vector<Line>& lines, std::size_t& i);
// One value line whose continuation lines are already joined to it.
std::optional<ParsedValue> parseValueLine(std::string_view line);

}  // namespace tessmar::platform::regedit4
