#include "engine/state.h"

#include <cstdio>
#include <map>
#include <tuple>

#include "platform/codepage.h"
#include "platform/cp936.h"

namespace tessmar::engine::state {
using platform::RegType;

namespace {

// Longer data is cut in the texts; the record itself keeps every byte.
constexpr std::size_t kShownBytes = 32;

std::string shown(std::string_view cp936) {
    auto text = platform::fromCp936(cp936);
    return text ? *text : std::string("？");
}

std::string hexBytes(const std::vector<std::uint8_t>& data) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < data.size() && i < kShownBytes; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        if (i) out.push_back(' ');
        out.append(buf);
    }
    if (data.size() > kShownBytes) out += " …（共 " + std::to_string(data.size()) + " 字节）";
    return out;
}

// A text on one line: control characters spelled as escapes.
std::string oneLine(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (static_cast<unsigned char>(c) < 0x20)
            out += "?";
        else
            out.push_back(c);
    }
    return out;
}

Result<KeyTree> readTree(platform::Registry& registry, RegRoot root, const std::string& path,
                         std::size_t depth) {
    if (depth > platform::kMaxKeyDepth)
        return fail("注册表项 " + where(root, path, "") + " 的层次太深");
    auto content = registry.readKey(root, path);
    if (!content) return std::unexpected(content.error());
    KeyTree tree;
    tree.path = path;
    if (!*content) return tree;  // gone while being read: nothing below it
    tree.values = std::move((*content)->values);
    for (const auto& name : (*content)->subkeys) {
        auto child = readTree(registry, root, path + "\\" + name, depth + 1);
        if (!child) return std::unexpected(child.error());
        tree.subkeys.push_back(std::move(*child));
    }
    return tree;
}

void count(const KeyTree& tree, std::size_t& values, std::size_t& keys) {
    values += tree.values.size();
    keys += tree.subkeys.size();
    for (const auto& child : tree.subkeys) count(child, values, keys);
}

std::string joined(std::string_view key, std::string_view name) {
    if (key.empty()) return std::string(name);
    return std::string(key) + "\\" + std::string(name);
}

}  // namespace

std::vector<Target> targetsOf(const Plan& plan) {
    std::vector<Target> targets;
    std::map<std::tuple<int, std::uint32_t, std::string, std::string>, std::size_t> seen;
    for (const RegWrite& write : plan.writes) {
        auto key = platform::toCp936(write.key);
        auto name = platform::toCp936(write.name);
        if (!key || !name) continue;
        Target target;
        target.root = write.root;
        target.key = std::move(*key);
        target.name = std::move(*name);
        target.row = write.row;
        if (write.op == RegWrite::Op::DeleteKey) {
            target.kind = Target::Kind::Subkey;
        } else {
            target.after = RegValue{write.type, write.data};
        }
        auto id = std::tuple(static_cast<int>(target.kind), static_cast<std::uint32_t>(write.root),
                             platform::cp936::foldName(target.key),
                             platform::cp936::foldName(target.name));
        if (auto it = seen.find(id); it != seen.end()) {
            targets[it->second].after = std::move(target.after);
            targets[it->second].row = target.row;
            continue;
        }
        seen.emplace(std::move(id), targets.size());
        targets.push_back(std::move(target));
    }
    return targets;
}

Result<std::vector<Before>> readBefore(platform::Registry& registry,
                                       const std::vector<Target>& targets) {
    std::vector<Before> out;
    out.reserve(targets.size());
    for (const Target& target : targets) {
        Before before;
        if (target.kind == Target::Kind::Value) {
            auto value = registry.readValue(target.root, target.key, target.name);
            if (!value) return std::unexpected(value.error());
            before.value = std::move(*value);
        } else {
            std::string path = joined(target.key, target.name);
            auto exists = registry.readKey(target.root, path);
            if (!exists) return std::unexpected(exists.error());
            if (*exists) {
                auto tree = readTree(registry, target.root, path, 0);
                if (!tree) return std::unexpected(tree.error());
                before.tree = std::move(*tree);
            }
        }
        out.push_back(std::move(before));
    }
    return out;
}

bool changes(const Target& target, const Before& before) {
    if (target.kind == Target::Kind::Subkey) return before.tree.has_value();
    return target.after != before.value;
}

std::string where(RegRoot root, std::string_view key, std::string_view name) {
    std::string out = platform::rootName(root);
    if (out.empty()) out = "（无效的根键）";
    if (!key.empty()) out += "\\" + shown(key);
    out += "\\" + (name.empty() ? std::string("（默认）") : shown(name));
    return out;
}

std::string describe(const std::optional<RegValue>& value) {
    if (!value) return "（无此值）";
    const auto& data = value->data;
    switch (value->type) {
        case RegType::Dword:
            if (data.size() == 4) {
                std::uint32_t d = data[0] | (data[1] << 8) | (data[2] << 16) |
                                  (static_cast<std::uint32_t>(data[3]) << 24);
                char buf[16];
                std::snprintf(buf, sizeof buf, "0x%08x", d);
                return "DWORD 值 " + std::to_string(static_cast<std::int32_t>(d)) + "（" + buf +
                       "）";
            }
            break;
        case RegType::Sz:
        case RegType::ExpandSz:
            if (!data.empty() && data.back() == 0) {
                std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size() - 1);
                if (bytes.find('\0') == std::string_view::npos) {
                    if (auto text = platform::fromCp936(bytes))
                        return std::string(value->type == RegType::Sz ? "字符串值"
                                                                      : "可扩充字符串值") +
                               " “" + oneLine(*text) + "”";
                }
            }
            break;
        case RegType::Binary:
            return data.empty() ? "二进制值（空）" : "二进制值 " + hexBytes(data);
        default:
            break;
    }
    std::string text = "类型 " + std::to_string(static_cast<std::uint32_t>(value->type)) + " 的值";
    return data.empty() ? text + "（空）" : text + " " + hexBytes(data);
}

std::string describeTree(const std::optional<KeyTree>& tree) {
    if (!tree) return "（无此子项）";
    std::size_t values = 0, keys = 0;
    count(*tree, values, keys);
    return describeSubkey(values, keys);
}

std::string describeSubkey(std::size_t values, std::size_t subkeys) {
    return "子项，共 " + std::to_string(values) + " 个值、" + std::to_string(subkeys) +
           " 个下级子项";
}

std::string describeAfter(const Target& target) {
    if (target.kind == Target::Kind::Subkey) return kDeletedText;
    return describe(target.after);
}

}  // namespace tessmar::engine::state
