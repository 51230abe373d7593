#pragma once
// The registry writer: the program's only way of changing the registry. Each operation opens
// (creating where needed) one key, makes one change and closes the key again. Texts are UTF-8 here
// and reach the registry in code page 936. Unlike the bare platform calls, each says whether it
// took effect.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine {

using platform::Registry;
using platform::RegRoot;

// REG_DWORD: the value widened to 32 bits with its sign, least significant byte first.
Status setdword(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                std::int16_t value);
// REG_SZ: the code page 936 bytes and one terminating zero.
Status setstring(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                 std::string_view text);
// REG_BINARY: exactly these four bytes.
Status setbinary(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                 const std::array<std::uint8_t, 4>& bytes);
// Any type with exactly these bytes: what the other three come to.
Status setvalue(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                platform::RegType type, const std::vector<std::uint8_t>& data);
// Deletes subkey below key; key itself is opened with the create call, so a missing path is made.
Status deletekey(Registry& reg, RegRoot root, std::string_view key, std::string_view subkey);

// A number as four bytes, least significant first.
std::array<std::uint8_t, 4> fourBytes(std::uint32_t value);

// The report of a value that did not take effect: its place in the registry and the reason.
std::unexpected<Error> notWritten(RegRoot root, std::string_view key, std::string_view name,
                                  std::string_view reason);

}  // namespace tessmar::engine
