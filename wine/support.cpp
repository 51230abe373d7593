#include "support.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "check.h"
#include "platform/codepage.h"
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
    for (auto& named : valuesOf(key)) entry.values[fold(named.name)] = std::move(named);
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

std::string fold(std::string_view cp936Name) {
    if (cp936Name.empty()) return {};
    int length = static_cast<int>(cp936Name.size());
    int wideLength = MultiByteToWideChar(936, 0, cp936Name.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(936, 0, cp936Name.data(), length, wide.data(), wideLength);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), utf8Length, nullptr,
                        nullptr);
    return out;
}

std::string shown(std::string_view cp936Text) {
    auto text = platform::fromCp936(cp936Text);
    return text ? *text : "<" + describe(bytesOf(cp936Text)) + ">";
}

KeySnapshot& ensureKey(Snapshot& snap, std::string_view path) {
    std::string folded = fold(path);
    auto found = snap.find(folded);
    if (found != snap.end()) return found->second;
    if (!path.empty()) {
        // The last backslash that is a character of its own, not the second byte of one.
        std::size_t cut = std::string_view::npos;
        for (std::size_t i = 0; i < path.size(); ++i) {
            auto c = static_cast<unsigned char>(path[i]);
            if (c >= 0x81 && c <= 0xFE && i + 1 < path.size())
                ++i;
            else if (c == '\\')
                cut = i;
        }
        ensureKey(snap, cut == std::string_view::npos ? std::string_view() : path.substr(0, cut));
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

namespace {

std::string trimmed(std::string_view text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(" \t");
    return std::string(text.substr(begin, end - begin + 1));
}

// A quoted text with \\ and \" escapes, starting at text[at] == '"'; at is left after the
// closing quote.
std::optional<std::string> unquote(std::string_view text, std::size_t& at) {
    if (at >= text.size() || text[at] != '"') return std::nullopt;
    std::string out;
    for (++at; at < text.size(); ++at) {
        char c = text[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c == '\\' && at + 1 < text.size()) c = text[++at];
        out += c;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> hexBytes(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!digits.empty()) {
                if (digits.size() > 2) return std::nullopt;
                out.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
                digits.clear();
            }
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits += c;
    }
    if (!digits.empty()) {
        if (digits.size() > 2) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
    }
    return out;
}

}  // namespace

Result<std::map<RegRoot, Snapshot>> readRegedit4(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("cannot open " + file.string());
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Escapes are read in the decoded text, as the registry editor reads them: a double-byte
    // character's second byte may be a backslash.
    auto text = platform::fromCp936(raw);
    if (!text) return fail("file is not code page 936 text");

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }

    std::map<RegRoot, Snapshot> roots;
    KeySnapshot* current = nullptr;
    bool header = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        std::string plain = trimmed(line);
        if (!header) {
            if (plain.empty()) continue;
            if (plain != "REGEDIT4") return fail("line " + std::to_string(i + 1) + ": no header");
            header = true;
            continue;
        }
        if (plain.empty() || plain[0] == ';') continue;
        auto where = [&](const std::string& what) {
            return fail("line " + std::to_string(i + 1) + ": " + what + ": " + line);
        };
        if (plain[0] == '[') {
            std::size_t close = plain.rfind(']');
            if (close == std::string::npos || plain.size() < 2 || plain[1] == '-')
                return where("bad key line");
            std::string full = plain.substr(1, close - 1);
            std::string rootText = full.substr(0, full.find('\\'));
            auto root = platform::rootFromName(rootText);
            if (!root) return where("unknown root");
            std::string path =
                full.size() > rootText.size() ? full.substr(rootText.size() + 1) : "";
            std::string bytes = cp936(path);
            current = &ensureKey(roots[*root], bytes);
            if (current->path != bytes)
                current->clashes.push_back("key \"" + shown(current->path) + "\" and \"" + path +
                                           "\"");
            continue;
        }
        if (!current) return where("value outside a key");
        std::size_t at = 0;
        std::string name;
        if (line[0] == '@') {
            at = 1;
        } else {
            auto quoted = unquote(line, at);
            if (!quoted) return where("bad value name");
            name = *quoted;
        }
        if (at >= line.size() || line[at] != '=') return where("no '=' after the name");
        std::string data = line.substr(at + 1);
        RegValue value;
        if (!data.empty() && data[0] == '"') {
            std::size_t pos = 0;
            auto textValue = unquote(data, pos);
            if (!textValue || !trimmed(data.substr(pos)).empty()) return where("bad string");
            value = RegValue{RegType::Sz, bytesOf(cp936(*textValue), true)};
        } else if (data.starts_with("dword:")) {
            std::string digits = data.substr(6);
            if (digits.size() != 8) return where("bad dword");
            auto number = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
            value = RegValue{
                RegType::Dword,
                {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
        } else if (data.starts_with("hex")) {
            RegType type = RegType::Binary;
            std::size_t colon = data.find(':');
            if (colon == std::string::npos) return where("bad hex");
            if (data[3] == '(') {
                std::size_t close = data.find(')');
                if (close == std::string::npos || close > colon) return where("bad hex type");
                type = static_cast<RegType>(std::stoul(data.substr(4, close - 4), nullptr, 16));
            }
            std::string digits = data.substr(colon + 1);
            while (!digits.empty() && trimmed(digits).ends_with("\\")) {
                digits = trimmed(digits);
                digits.pop_back();
                if (++i >= lines.size()) return where("hex data runs past the end");
                digits += trimmed(lines[i]);
            }
            auto bytes = hexBytes(digits);
            if (!bytes) return where("bad hex digits");
            value = RegValue{type, std::move(*bytes)};
        } else {
            return where("unknown kind of data");
        }
        std::string nameBytes = cp936(name);
        auto [slot, added] =
            current->values.try_emplace(fold(nameBytes), NamedValue{nameBytes, value});
        if (!added) {
            current->clashes.push_back("value \"" + shown(slot->second.name) + "\" and \"" + name +
                                       "\"");
            slot->second.value = std::move(value);
        }
    }
    if (!header) return fail("no REGEDIT4 header");
    return roots;
}

}  // namespace tessmar::winetest
