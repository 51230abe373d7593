#pragma once
// Selection strings ("1" chosen, "0" not, one character per checklist row) and the checklist
// content that a category fill produces for the grid.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/record.h"

namespace tessmar::settings {

// The mark of a chosen item in grid column 2: a blank and U+221A.
inline constexpr const char* kMark = " √";
inline constexpr const char* kNoMark = " ";

// For positions 1..n, whether the character there (counted in characters, not bytes) is "1";
// element 0 unused. text is UTF-8.
std::vector<bool> onesAt(std::string_view text, std::size_t n);

// Flags for rows 1..n (element 0 unused, so the result has n + 1 elements): the stored string
// trimmed, row i chosen exactly when character i is "1"; unset, short, long or odd strings are no
// error.
std::vector<bool> parseSelection(const Field& stored, std::size_t n);
// One character per row 1..n of flags.
std::string buildSelection(const std::vector<bool>& flags, std::size_t n);

// What a category fill puts into the grid: row 0 the heading, row i (1..n) number, caption, mark;
// and the flags that agree with the marks.
struct Checklist {
    std::vector<std::array<std::string, 3>> rows;
    std::vector<bool> flags;  // rows.size() elements, element 0 unused
};

// Heading row plus one row per caption, marked from the stored selection.
Checklist makeChecklist(const std::string& title, const std::vector<std::string>& captions,
                        const Field& stored);

}  // namespace tessmar::settings
