#include "support/fake_registry.h"

#include <algorithm>

#include "platform/cp936.h"

namespace tessmar::test {
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

std::string FakeRegistry::fold(std::string_view text) {
    return platform::cp936::foldName(text);
}

std::string FakeRegistry::keyId(RegRoot root, std::string_view path) {
    return std::to_string(static_cast<std::uint32_t>(root)) + "\\" + fold(path);
}

Result<FakeRegistry::Key> FakeRegistry::createKey(RegRoot root, std::string_view path) {
    calls.push_back({Op::Create, root, std::string(path), {}, RegType::None, {}});
    if (failCreate_.contains(root)) return fail("拒绝访问");
    std::string id = keyId(root, "");
    stored_.keys.insert(id);
    std::size_t start = 0;
    while (start <= path.size() && !path.empty()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        std::string level = keyId(root, path.substr(0, end));
        stored_.keys.insert(level);
        stored_.spelled.try_emplace(level, path.substr(start, end - start));
        start = end + 1;
    }
    Key key = nextKey_++;
    open_[key] = {root, std::string(path)};
    return key;
}

const FakeRegistry::OpenKey* FakeRegistry::logCall(Op op, Key key, std::string_view name,
                                                   RegType type,
                                                   const std::vector<std::uint8_t>& data) {
    auto it = open_.find(key);
    Call call{op, {}, {}, std::string(name), type, data};
    if (it != open_.end()) {
        call.root = it->second.root;
        call.path = it->second.path;
    }
    calls.push_back(std::move(call));
    return it == open_.end() ? nullptr : &it->second;
}

Status FakeRegistry::setValue(Key key, std::string_view name, RegType type,
                              const std::vector<std::uint8_t>& data) {
    const OpenKey* open = logCall(Op::Set, key, name, type, data);
    if (!open) return fail("句柄无效");
    if (failWrites_.contains(open->root)) return fail("拒绝访问");
    auto& slot = stored_.values[keyId(open->root, open->path)][fold(name)];
    if (slot.name.empty()) slot.name = name;
    slot.value = RegValue{type, data};
    return {};
}

Status FakeRegistry::deleteKey(Key key, std::string_view subkey) {
    const OpenKey* open = logCall(Op::Delete, key, subkey);
    if (!open) return fail("句柄无效");
    if (failWrites_.contains(open->root)) return fail("拒绝访问");
    std::string full =
        open->path.empty() ? std::string(subkey) : open->path + "\\" + std::string(subkey);
    std::string id = keyId(open->root, full);
    if (!stored_.keys.contains(id)) return {};
    std::string below = id + "\\";
    auto next = stored_.keys.lower_bound(below);
    if (next != stored_.keys.end() && next->starts_with(below)) return fail("该项含有子项");
    stored_.keys.erase(id);
    stored_.values.erase(id);
    stored_.spelled.erase(id);
    return {};
}

void FakeRegistry::closeKey(Key key) {
    if (logCall(Op::Close, key, {})) open_.erase(key);
}

std::optional<RegValue> FakeRegistry::queryValue(RegRoot root, std::string_view path,
                                                 std::string_view name) {
    auto key = stored_.values.find(keyId(root, path));
    if (key == stored_.values.end()) return std::nullopt;
    auto value = key->second.find(fold(name));
    if (value == key->second.end()) return std::nullopt;
    return value->second.value;
}

Status FakeRegistry::deleteValue(Key key, std::string_view name) {
    const OpenKey* open = logCall(Op::DeleteValue, key, name);
    if (!open) return fail("句柄无效");
    if (failWrites_.contains(open->root)) return fail("拒绝访问");
    auto values = stored_.values.find(keyId(open->root, open->path));
    if (values != stored_.values.end()) values->second.erase(fold(name));
    return {};
}

Result<std::optional<RegValue>> FakeRegistry::readValue(RegRoot root, std::string_view path,
                                                        std::string_view name) {
    if (failReads_.contains(root)) return fail("无法读取注册表");
    return queryValue(root, path, name);
}

Result<std::optional<platform::RegKeyContent>> FakeRegistry::readKey(RegRoot root,
                                                                     std::string_view path) {
    if (failReads_.contains(root)) return fail("无法读取注册表");
    std::string id = keyId(root, path);
    if (!stored_.keys.contains(id)) return std::optional<platform::RegKeyContent>();
    platform::RegKeyContent content;
    if (auto values = stored_.values.find(id); values != stored_.values.end())
        for (const auto& [folded, named] : values->second) content.values.push_back(named);
    std::string below = path.empty() ? id : id + "\\";
    for (auto it = stored_.keys.upper_bound(below); it != stored_.keys.end(); ++it) {
        if (!it->starts_with(below)) break;
        std::string_view rest = std::string_view(*it).substr(below.size());
        if (rest.find('\\') == std::string_view::npos)
            content.subkeys.push_back(stored_.spelled.at(*it));
    }
    return content;
}

bool FakeRegistry::keyExists(RegRoot root, std::string_view path) {
    return stored_.keys.contains(keyId(root, path));
}

void FakeRegistry::beginGroup() {
    calls.push_back({Op::BeginGroup, {}, {}, {}, RegType::None, {}});
    groupStart_ = stored_;
}

Status FakeRegistry::endGroup() {
    calls.push_back({Op::EndGroup, {}, {}, {}, RegType::None, {}});
    auto start = std::move(groupStart_);
    groupStart_.reset();
    if (failEndGroup_) {
        failEndGroup_ = false;
        if (start) stored_ = std::move(*start);
        return fail("注册表文件无法保存");
    }
    return {};
}

std::vector<FakeRegistry::Call> FakeRegistry::callsOf(Op op) const {
    std::vector<Call> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [op](const Call& c) { return c.op == op; });
    return out;
}

std::size_t FakeRegistry::valueCount() const {
    std::size_t n = 0;
    for (const auto& [key, values] : stored_.values) n += values.size();
    return n;
}

}  // namespace tessmar::test
