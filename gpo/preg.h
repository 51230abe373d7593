#pragma once
// Registry.pol, the registry half of a Group Policy object: "PReg", version 1, then one
// [key;value;type;size;data] record per value, every text in UTF-16LE with its terminating zero.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plan.h"
#include "platform/result.h"

namespace tessmar::gpo {

// The name Group Policy gives a record that deletes the subkeys listed in its data.
inline constexpr const char* kDeleteKeys = "**DeleteKeys";

// One record as the file holds it; key, name and text data in UTF-8.
struct PolRecord {
    std::string key;
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;  // REG_SZ: UTF-16LE with its terminating zero
    bool operator==(const PolRecord&) const = default;
};

// UTF-8 to UTF-16LE bytes, without a terminating zero. Fails on text that is not UTF-8.
Result<std::string> utf16le(std::string_view utf8);

// UTF-16LE bytes (a terminating zero, if any, ends the text) to UTF-8.
Result<std::string> utf8FromUtf16le(std::string_view bytes);

// The file: header and records in order.
Result<std::string> encodePol(const std::vector<PolRecord>& records);
// The records of a file, for merging into a policy that already exists.
Result<std::vector<PolRecord>> decodePol(std::string_view bytes);

// The record of one write as Group Policy carries it: REG_SZ data from code page 936 to Unicode,
// a subkey delete as **DeleteKeys under the parent naming the one subkey. Fails, with the reason,
// for what a policy file cannot carry (the unnamed value, a value of the root key itself).
Result<PolRecord> recordOf(const engine::RegWrite& write);

// The records of one half (root CurrentUser or LocalMachine); writes of other roots are skipped.
// What cannot be carried is listed in leftOut with its reason.
struct PolHalf {
    std::vector<PolRecord> records;
    std::vector<std::string> leftOut;
};
PolHalf policyHalf(const std::vector<engine::RegWrite>& writes, platform::RegRoot root);

}  // namespace tessmar::gpo
