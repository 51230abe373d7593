#pragma once
// The registry state a pass is about to change: which values and subkeys it touches, what they
// hold before, and how both read for the administrator. History, preview and drift all work from
// these, so their texts agree.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/plan.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine::state {

using platform::RegRoot;
using platform::RegValue;

// One place a pass changes, with the state the pass leaves it in. Names are code page 936 bytes,
// as the registry takes them.
struct Target {
    enum class Kind { Value, Subkey };
    Kind kind = Kind::Value;
    RegRoot root = RegRoot::CurrentUser;
    std::string key;                // path below the root
    std::string name;               // the value name, or the subkey of key that is deleted
    std::optional<RegValue> after;  // Value only: nullopt deletes the value
    std::size_t row = 0;            // the checklist row whose write stands; 0 for none
};

// A key and everything below it, as read.
struct KeyTree {
    std::string path;  // below the root
    std::vector<platform::RegNamedValue> values;
    std::vector<KeyTree> subkeys;
};

struct Before {
    std::optional<RegValue> value;  // Value: nullopt when absent
    std::optional<KeyTree> tree;    // Subkey: nullopt when absent
};

// The plan's writes as places, one per place (names compared as the registry compares them):
// where two rows write the same value the later write stands, as the pass leaves it. A write whose
// key or name has no code page 936 form is left out: it cannot change anything, and the pass
// reports it.
std::vector<Target> targetsOf(const Plan& plan);

// What each target holds now. Fails when the registry cannot be read: an absence taken for granted
// would make a restore delete what is there.
Result<std::vector<Before>> readBefore(platform::Registry& registry,
                                       const std::vector<Target>& targets);

// Whether the target's state differs from what it holds now.
bool changes(const Target& target, const Before& before);

// Display texts, UTF-8.
std::string where(RegRoot root, std::string_view key, std::string_view name);
std::string describe(const std::optional<RegValue>& value);
std::string describeTree(const std::optional<KeyTree>& tree);
// A subkey with this many values and keys below it, itself included for the values.
std::string describeSubkey(std::size_t values, std::size_t subkeys);
std::string describeAfter(const Target& target);
inline constexpr const char* kDeletedText = "（已删除）";

}  // namespace tessmar::engine::state
