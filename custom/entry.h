#pragma once
// A custom entry: one registry operation of the administrator's own, and what it means when
// applied. Nothing here touches the database, so it builds wherever the core does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/registry.h"

namespace tessmar::custom {

struct Entry {
    std::string sm;       // name, shown in the lists
    std::string hkey1;    // root name, as the root box read (possibly with a trailing blank)
    std::string subkey1;  // key path below the root
    std::string newkey1;  // value name, or the subkey to delete
    std::string ka1;      // value data as text
    // 1 DWORD, 2 string, 3 binary, 4 delete subkey; any other code, or none, does nothing.
    std::optional<std::int16_t> reg;
    bool operator==(const Entry&) const = default;
};

// Operation codes and the type texts the editor shows for them.
inline constexpr std::int16_t kRegDword = 1;
inline constexpr std::int16_t kRegString = 2;
inline constexpr std::int16_t kRegBinary = 3;
inline constexpr std::int16_t kRegDeleteKey = 4;

// "DWORD 值(D)" and so on; nullptr for any other code.
const char* typeText(std::int16_t code);
// The code of a type text compared exactly after trimming blanks; nullopt for any other text.
std::optional<std::int16_t> typeCode(std::string_view text);

// What applying an entry does.
struct SetDword {
    std::int16_t value;
};
struct SetString {
    std::string text;
};
struct SetBinary {
    std::string text;  // its first four code page 936 bytes, padded with zeros
};
struct DeleteSubkey {};

struct Operation {
    platform::RegRoot root;
    std::string key;   // subkey1
    std::string name;  // newkey1
    std::variant<SetDword, SetString, SetBinary, DeleteSubkey> action;
};

// An operation code outside 1..4: listed and choosable, but applying it does nothing.
struct NoOperation {};

// An entry that cannot be applied under any root: a root name that is none of the four, or DWORD
// data that is not a whole number in -32768..32767. reason says which, in Chinese.
struct Unusable {
    std::string reason;
};

using Meaning = std::variant<Operation, NoOperation, Unusable>;
Meaning meaningOf(const Entry& entry);

}  // namespace tessmar::custom
