#pragma once
// What applying a category does to the registry, worked out before anything is written: the apply
// pass performs exactly these writes, and the preview, the history record and the Group Policy
// export read them, so none of them can disagree with the pass.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine {

// One call of the registry writer, with its datum as the registry gets it.
struct RegWrite {
    enum class Op { SetValue, DeleteKey };
    Op op = Op::SetValue;
    platform::RegRoot root = platform::RegRoot::CurrentUser;
    std::string key;   // UTF-8 path below the root, as the catalogue or the entry spells it
    std::string name;  // UTF-8: the value name (SetValue) or the subkey to delete (DeleteKey)
    platform::RegType type = platform::RegType::None;  // SetValue: Dword, Sz or Binary
    std::vector<std::uint8_t> data;  // SetValue: the bytes written (REG_SZ in code page 936 with
                                     // its terminating zero)
    std::size_t row = 0;             // the checklist row the write belongs to
    bool operator==(const RegWrite&) const = default;
};

struct Plan {
    int category = 0;
    std::vector<RegWrite> writes;      // in the order the pass performs them
    std::vector<std::string> notDone;  // rows that cannot be performed, each with its reason
    std::string selection;             // the category's new selection string
    // Where each notDone entry stands among the writes: the index of the write it comes before,
    // so that a report lists everything in row order.
    std::vector<std::size_t> notDoneAt;
    // Custom rows with writes: "第 n 项“name”", which leads the reason a write of that row failed.
    std::map<std::size_t, std::string> labels;
};

// The writes of applying category (0 to 4) with these flags (element i for grid row i), reading
// drives.ini, logo.ini and user.dat as the pass does; nrow is the custom grid's rows, heading
// included. customRows, where given, are the entry names the custom checklist showed (row k at
// k - 1): rows are bound to entries by position, so when user.dat no longer lists exactly these
// names the plan fails rather than perform entries other than the ticked rows name. Fails,
// writing nothing, when the category cannot be applied at all (user.dat missing or unreadable, or
// changed since the custom checklist was filled).
Result<Plan> plan(const std::filesystem::path& dir, int category, const std::vector<bool>& flags,
                  int nrow, const std::vector<std::string>* customRows = nullptr);

// Performs one write through the registry writer.
Status perform(platform::Registry& registry, const RegWrite& write);

}  // namespace tessmar::engine
