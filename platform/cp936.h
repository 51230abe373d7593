#pragma once
// The byte rules of code page 936, said once for every reader and writer of its bytes: which bytes
// make one character, where a key path splits, and when two registry names are one name.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessmar::platform::cp936 {

// A lead byte and the trail byte after it make one character; the trail byte may look like an
// ASCII letter, a backslash, a quote or a bracket, and is none of them.
constexpr bool isLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
constexpr bool isTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// How many bytes the character at s[i] takes: 2 for a lead byte followed by a trail byte, else 1.
std::size_t charLength(std::string_view s, std::size_t i);

// The key path split at the backslashes that are characters of their own. An empty path is one
// empty part.
std::vector<std::string_view> splitPath(std::string_view path);

// A name as advapi32 compares key and value names: the letters without regard to case, in code
// page 936 the ASCII letters and the double-byte letters that come in both cases there (small and
// capital Roman numerals, full-width Latin, Greek, Cyrillic). Folded to upper case, as Windows
// folds, so that sorting by the folded name puts '_' after the letters.
std::string foldName(std::string_view name);
bool sameName(std::string_view a, std::string_view b);

}  // namespace tessmar::platform::cp936
