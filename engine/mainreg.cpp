#include "engine/mainreg.h"

#include <string>
#include <vector>

#include "platform/codepage.h"

namespace tessmar::engine {
using platform::RegType;

namespace {

// root\key\name as the administrator would look it up in the registry editor.
std::string where(RegRoot root, std::string_view key, std::string_view name) {
    std::string out = platform::rootName(root);
    if (out.empty()) out = "（无效的根键）";
    if (!key.empty()) out.append("\\").append(key);
    out.append("\\").append(name);
    return out;
}

// Opens the key, hands the open key to change, and always closes it again.
template <class Change>
Status onKey(Registry& reg, RegRoot root, const std::string& key, Change&& change) {
    auto opened = reg.createKey(root, key);
    if (!opened) return std::unexpected(opened.error());
    Status result = change(*opened);
    reg.closeKey(*opened);
    return result;
}

}  // namespace

Status setvalue(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                RegType type, const std::vector<std::uint8_t>& data) {
    auto keyBytes = platform::toCp936(key);
    auto nameBytes = platform::toCp936(name);
    if (!keyBytes) return notWritten(root, key, name, keyBytes.error().message);
    if (!nameBytes) return notWritten(root, key, name, nameBytes.error().message);
    Status done = onKey(reg, root, *keyBytes, [&](Registry::Key open) {
        return reg.setValue(open, *nameBytes, type, data);
    });
    if (!done) return notWritten(root, key, name, done.error().message);
    return {};
}

std::unexpected<Error> notWritten(RegRoot root, std::string_view key, std::string_view name,
                                  std::string_view reason) {
    return fail("未能写入注册表值 " + where(root, key, name) + "：" + std::string(reason));
}

std::array<std::uint8_t, 4> fourBytes(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF),
            static_cast<std::uint8_t>((value >> 24) & 0xFF)};
}

Status setdword(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                std::int16_t value) {
    auto bytes = fourBytes(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
    return setvalue(reg, root, key, name, RegType::Dword, {bytes.begin(), bytes.end()});
}

Status setstring(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                 std::string_view text) {
    auto bytes = platform::toCp936(text);
    if (!bytes) return notWritten(root, key, name, bytes.error().message);
    std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
    data.push_back(0);
    return setvalue(reg, root, key, name, RegType::Sz, data);
}

Status setbinary(Registry& reg, RegRoot root, std::string_view key, std::string_view name,
                 const std::array<std::uint8_t, 4>& bytes) {
    return setvalue(reg, root, key, name, RegType::Binary, {bytes.begin(), bytes.end()});
}

Status deletekey(Registry& reg, RegRoot root, std::string_view key, std::string_view subkey) {
    auto keyBytes = platform::toCp936(key);
    auto subkeyBytes = platform::toCp936(subkey);
    auto notDeleted = [&](const std::string& reason) {
        return fail("未能删除注册表项 " + where(root, key, subkey) + "：" + reason);
    };
    if (!keyBytes) return notDeleted(keyBytes.error().message);
    if (!subkeyBytes) return notDeleted(subkeyBytes.error().message);
    Status done = onKey(reg, root, *keyBytes,
                        [&](Registry::Key open) { return reg.deleteKey(open, *subkeyBytes); });
    if (!done) return notDeleted(done.error().message);
    return {};
}

}  // namespace tessmar::engine
