#include "support/fake_registry.h"

#include <algorithm>

namespace tessmar::test {
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

std::string FakeRegistry::fold(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81) {
            ++i;  // the trail byte of a double-byte character is no letter
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
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
        stored_.keys.insert(keyId(root, path.substr(0, end)));
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
    stored_.values[keyId(open->root, open->path)][fold(name)] = RegValue{type, data};
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
    return value->second;
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
