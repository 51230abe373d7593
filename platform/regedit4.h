#pragma once
// Pieces of the REGEDIT4 text format (code page 936 bytes) shared by the registry stand-in and by
// other files the tool writes in that format for the registry editor to import.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tessmar::platform::regedit4 {

// The value line `"name"=data` (`@=data` for the unnamed value) ended by CR LF, long hex lists
// wrapped over lines ending in a backslash as the registry editor wraps them.
std::string valueLine(std::string_view name, const RegValue& value);
// The line that deletes the value on import: `"name"=-` and CR LF.
std::string deletionLine(std::string_view name);
// The key path split at its backslashes, a trail byte that looks like one left alone.
std::vector<std::string_view> splitPath(std::string_view path);

// One value line read back, continuation lines already joined: the name, and the value or
// nullopt for a deletion.
struct ParsedValue {
    std::string name;
    std::optional<RegValue> value;
};
std::optional<ParsedValue> parseValueLine(std::string_view line);

}  // namespace tessmar::platform::regedit4
