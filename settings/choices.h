#pragma once
// targets.ini beside vorn.ini: the choices stored for every target other than the running
// account, whose choices stay in vorn.ini. One record per target that has been applied, in the
// record format of vorn.ini (code page 936, CR LF, quoted texts), each on a line of its own:
//
//   "S-1-5-21-…-1001","小明","1010000","","","",""
//
// field 1 the target's key (an account's SID, "default" or "standard"), field 2 its name when it
// was last applied (for whoever reads the file), fields 3 to 7 the selection strings of
// categories 0 to 4 as vorn.ini's fields 1, 4, 5, 6 and 7 hold them. An unset string is a category
// never applied to that target, which shows nothing chosen. Written atomically, readable by the
// administrators only, as vorn.ini is.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/record.h"

namespace tessmar::settings {

inline constexpr const char* kChoicesFileName = "targets.ini";
inline constexpr std::size_t kChoicesFieldCount = 7;

struct TargetChoices {
    std::string key;
    std::string name;
    std::array<Field, 5> selections;  // categories 0 to 4
    bool operator==(const TargetChoices&) const = default;
};

class ChoicesFile : public RecordFile {
  public:
    explicit ChoicesFile(const std::filesystem::path& dir) : RecordFile(dir, kChoicesFileName) {}

    // Every record, in file order. A missing file holds none; a damaged one is an error, and is
    // never rewritten.
    Result<std::vector<TargetChoices>> read() const;
    // The stored selection string of one category (0 to 4) of a target; unset when never applied.
    Result<Field> selection(std::string_view key, int category) const;
    // Replaces one category's string of a target (and its name), keeping everything else.
    Status store(std::string_view key, std::string_view name, int category,
                 std::string_view selection) const;
};

}  // namespace tessmar::settings
