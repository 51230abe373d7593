#include "support.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "check.h"
#include "platform/codepage.h"
#include "platform/regedit4.h"
#include "platform/registry_win.h"

namespace tessmar::winetest {
namespace fs = std::filesystem;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    for (;;) {
        path_ =
            fs::temp_directory_path() / ("tessmar-wine-" + std::to_string(GetCurrentProcessId()) +
                                         "-" + std::to_string(counter++));
        if (fs::create_directory(path_)) return;
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string cp936(std::string_view utf8) {
    auto bytes = platform::toCp936(utf8);
    if (!bytes) throw std::runtime_error("test text does not convert to code page 936");
    return *bytes;
}

std::vector<std::uint8_t> bytesOf(std::string_view text, bool withZero) {
    std::vector<std::uint8_t> out(text.begin(), text.end());
    if (withZero) out.push_back(0);
    return out;
}

HKEY hkeyOf(RegRoot root) {
    return platform::rootHandle(root);
}

namespace {

// An open key that closes itself.
struct OpenKey {
    HKEY key = nullptr;
    OpenKey(HKEY base, std::string_view path) {
        if (RegOpenKeyExA(base, std::string(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~OpenKey() {
        if (key) RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
};

std::vector<NamedValue> valuesOf(HKEY key) {
    std::vector<NamedValue> out;
    DWORD maxName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return out;
    for (DWORD i = 0;; ++i) {
        // The reported maxima are in characters for names; leave room for double-byte text.
        std::vector<char> name(maxName * 2 + 2);
        std::vector<std::uint8_t> data(maxData * 2 + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG rc = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(),
                                &dataLength);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) throw std::runtime_error("RegEnumValueA failed");
        data.resize(dataLength);
        out.push_back({std::string(name.data(), nameLength),
                       RegValue{static_cast<RegType>(type), std::move(data)}});
    }
    return out;
}

std::vector<std::string> subkeysOf(HKEY key) {
    std::vector<std::string> out;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD length = sizeof name;
        LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) throw std::runtime_error("RegEnumKeyExA failed");
        out.emplace_back(name, length);
    }
    return out;
}

std::string join(std::string_view parent, std::string_view child) {
    if (parent.empty()) return std::string(child);
    return std::string(parent) + "\\" + std::string(child);
}

void collect(HKEY key, const std::string& path, Snapshot& snap) {
    KeySnapshot& entry = ensureKey(snap, path);
    for (auto& named : valuesOf(key)) {
        auto [slot, added] = entry.values.try_emplace(foldName(named.name), named);
        if (!added)
            entry.clashes.push_back("value \"" + shown(slot->second.name) + "\" and \"" +
                                    shown(named.name) + "\"");
    }
    for (const auto& sub : subkeysOf(key)) {
        OpenKey child(key, sub);
        if (!child.key) throw std::runtime_error("cannot open an enumerated subkey");
        collect(child.key, join(path, sub), snap);
    }
}

}  // namespace

std::optional<RegValue> readValue(HKEY base, std::string_view path, std::string_view name) {
    OpenKey key(base, path);
    if (!key.key) return std::nullopt;
    std::string valueName(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.key, valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::uint8_t> data(size + 2);
    DWORD got = static_cast<DWORD>(data.size());
    if (RegQueryValueExA(key.key, valueName.c_str(), nullptr, &type, data.data(), &got) !=
        ERROR_SUCCESS)
        return std::nullopt;
    data.resize(got);
    return RegValue{static_cast<RegType>(type), std::move(data)};
}

bool keyPresent(HKEY base, std::string_view path) {
    OpenKey key(base, path);
    return key.key != nullptr;
}

std::vector<NamedValue> listValues(HKEY base, std::string_view path) {
    OpenKey key(base, path);
    if (!key.key) return {};
    return valuesOf(key.key);
}

std::vector<std::string> listSubkeys(HKEY base, std::string_view path) {
    OpenKey key(base, path);
    if (!key.key) return {};
    return subkeysOf(key.key);
}

void wipe(HKEY base, std::string_view path) {
    std::string p(path);
    RegDeleteTreeA(base, p.c_str());
    RegDeleteKeyA(base, p.c_str());
}

std::string shown(std::string_view cp936Text) {
    auto text = platform::fromCp936(cp936Text);
    return text ? *text : "<" + describe(bytesOf(cp936Text)) + ">";
}

KeySnapshot& ensureKey(Snapshot& snap, std::string_view path) {
    std::string folded = foldName(path);
    auto found = snap.find(folded);
    if (found != snap.end()) return found->second;
    if (!path.empty()) {
        std::string_view last = platform::cp936::splitPath(path).back();
        std::size_t parent = path.size() - last.size();
        ensureKey(snap, path.substr(0, parent == 0 ? 0 : parent - 1));
    }
    KeySnapshot& entry = snap[folded];
    entry.path = std::string(path);
    return entry;
}

Snapshot snapshot(HKEY base) {
    Snapshot snap;
    collect(base, "", snap);
    return snap;
}

std::vector<std::string> differences(const Snapshot& expected, std::string_view expectedName,
                                     const Snapshot& got, std::string_view gotName,
                                     std::string_view where) {
    std::vector<std::string> out;
    auto keyName = [&](const KeySnapshot& key) {
        return std::string(where) + (key.path.empty() ? "" : "\\" + shown(key.path));
    };
    for (const auto* snap : {&expected, &got})
        for (const auto& [folded, key] : *snap)
            for (const auto& clash : key.clashes)
                out.push_back("key " + keyName(key) + ": " +
                              std::string(snap == &expected ? expectedName : gotName) +
                              " holds as two what the registry takes for one: " + clash);
    for (const auto& [folded, key] : expected) {
        auto other = got.find(folded);
        if (other == got.end()) {
            out.push_back("key " + keyName(key) + ": in " + std::string(expectedName) +
                          ", missing in " + std::string(gotName));
            continue;
        }
        for (const auto& [name, value] : key.values) {
            std::string label = "value " + keyName(key) + " \"" + shown(value.name) +
                                "\": " + std::string(expectedName) + " " + describe(value.value) +
                                ", " + std::string(gotName) + " ";
            auto otherValue = other->second.values.find(name);
            if (otherValue == other->second.values.end())
                out.push_back(label + "missing");
            else if (!(otherValue->second.value == value.value))
                out.push_back(label + describe(otherValue->second.value));
        }
        for (const auto& [name, value] : other->second.values)
            if (!key.values.contains(name))
                out.push_back("value " + keyName(key) + " \"" + shown(value.name) +
                              "\": " + std::string(expectedName) + " missing, " +
                              std::string(gotName) + " " + describe(value.value));
    }
    for (const auto& [folded, key] : got)
        if (!expected.contains(folded))
            out.push_back("key " + keyName(key) + ": in " + std::string(gotName) + ", missing in " +
                          std::string(expectedName));
    return out;
}

Result<std::map<RegRoot, Snapshot>> readRegedit4(const fs::path& file) {
    namespace regedit4 = platform::regedit4;
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("cannot open " + file.string());
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto lines = regedit4::splitLines(raw);
    if (!regedit4::startsWithHeader(lines)) return fail("no REGEDIT4 header");

    std::map<RegRoot, Snapshot> roots;
    KeySnapshot* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view plain = regedit4::trim(lines[i].text);
        if (plain.empty() || plain[0] == ';') continue;
        auto where = [&](std::string_view what) {
            return fail("line " + std::to_string(lines[i].number) + ": " + std::string(what) +
                        ": " + shown(plain));
        };
        if (plain[0] == '[') {
            auto section = regedit4::parseSection(plain);
            if (!section) return where(section.error());
            current = &ensureKey(roots[section->root], section->path);
            if (current->path != section->path)
                current->clashes.push_back("key \"" + shown(current->path) + "\" and \"" +
                                           shown(section->path) + "\"");
            continue;
        }
        auto value = regedit4::readValue(lines, i);
        if (!value) return where(value.error());
        if (!current) return where("value outside a key");
        if (!value->value) return where("deletion line");
        auto [slot, added] = current->values.try_emplace(foldName(value->name),
                                                         NamedValue{value->name, *value->value});
        if (!added) {
            current->clashes.push_back("value \"" + shown(slot->second.name) + "\" and \"" +
                                       shown(value->name) + "\"");
            slot->second.value = std::move(*value->value);
        }
    }
    return roots;
}

}  // namespace tessmar::winetest
