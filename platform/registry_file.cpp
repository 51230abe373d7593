// The registry stand-in: the whole registry held in one REGEDIT4 file (code page 936, CR LF) that
// regedit on Windows can import. The file is parsed into a tree, changed there and written back
// whole, atomically; a file that cannot be parsed or written is never replaced.
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/regedit4.h"
#include "platform/registry.h"
#include "platform/registry_text.h"

namespace tessmar::platform {
namespace fs = std::filesystem;

namespace {

// Windows refuses key paths deeper than this; a limit also keeps the recursive walks bounded.
constexpr std::size_t kMaxDepth = 512;

// --- Code page 936 bytes
// --------------------------------------------------------------------------

bool isLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
bool isTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Length of the character at s[i]: a lead byte and its trail byte make one character, and the trail
// byte may look like an ASCII letter or a backslash.
std::size_t charLen(std::string_view s, std::size_t i) {
    if (isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
        isTrail(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

// The lower-case letters among the double-byte characters, by their trail bytes, and how far below
// them their upper-case forms lie: small Roman numerals, full-width Latin, Greek, Cyrillic.
struct CasePair {
    unsigned char lead, firstTrail, lastTrail;
    int down;
};
constexpr std::array<CasePair, 4> kDoubleByteCase{{
    {0xA2, 0xA1, 0xAA, -0x50},
    {0xA3, 0xE1, 0xFA, 0x20},
    {0xA6, 0xC1, 0xD8, 0x20},
    {0xA7, 0xD1, 0xF1, 0x30},
}};

// Names compare as Windows compares them: letters without regard to case, the ASCII letters of
// single-byte characters and the double-byte letters that have both cases in code page 936. Upper
// case, as Windows folds, so that the sort order puts '_' after the letters.
std::string fold(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t n = charLen(out, i);
        if (n == 1 && out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        if (n == 2) {
            auto lead = static_cast<unsigned char>(out[i]);
            auto trail = static_cast<unsigned char>(out[i + 1]);
            for (const auto& p : kDoubleByteCase)
                if (lead == p.lead && trail >= p.firstTrail && trail <= p.lastTrail)
                    out[i + 1] = static_cast<char>(trail - p.down);
        }
        i += n;
    }
    return out;
}

// True when the text is whole characters with no control character: what a line of the file can
// hold between quotes.
bool printable(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charLen(s, i);
        auto c = static_cast<unsigned char>(s[i]);
        if (n == 1 && (c < 0x20 || c == 0x7F || c == 0xFF || isLead(c))) return false;
        i += n;
    }
    return true;
}

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t n = charLen(path, i);
        if (n == 1 && path[i] == '\\') {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
        i += n;
    }
    parts.push_back(path.substr(start));
    return parts;
}

std::string escape(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charLen(s, i);
        if (n == 1 && (s[i] == '\\' || s[i] == '"')) out.push_back('\\');
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

// For messages: the name as the administrator would read it.
std::string shown(std::string_view bytes) {
    auto text = fromCp936(bytes);
    return text ? *text : std::string("?");
}

// --- The tree
// -------------------------------------------------------------------------------------

struct Node {
    std::string name;                                       // as first spelled
    std::map<std::string, std::unique_ptr<Node>> children;  // by folded name, so sorted case-blind
    std::vector<std::pair<std::string, RegValue>> values;   // in the order first created
    std::unordered_map<std::string, std::size_t> valueIndex;  // folded name to position in values
};

struct Tree {
    std::array<Node, 4> roots;
};

std::optional<std::size_t> rootIndex(RegRoot root) {
    auto v = static_cast<std::uint32_t>(root);
    if (v < 0x80000000u || v > 0x80000003u) return std::nullopt;
    return v - 0x80000000u;
}

Node* findChild(Node& node, std::string_view name) {
    auto it = node.children.find(fold(name));
    return it == node.children.end() ? nullptr : it->second.get();
}

Node* findPath(Node& root, const std::vector<std::string_view>& parts) {
    Node* node = &root;
    for (auto part : parts) {
        node = findChild(*node, part);
        if (!node) return nullptr;
    }
    return node;
}

// Opens the path, making what is missing; created says whether anything was.
Node& makePath(Node& root, const std::vector<std::string_view>& parts, bool& created) {
    Node* node = &root;
    for (auto part : parts) {
        auto& slot = node->children[fold(part)];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = std::string(part);
            created = true;
        }
        node = slot.get();
    }
    return *node;
}

// Returns whether the stored value changed.
bool setNodeValue(Node& node, std::string_view name, RegValue value) {
    std::string key = fold(name);
    if (auto it = node.valueIndex.find(key); it != node.valueIndex.end()) {
        auto& stored = node.values[it->second].second;
        if (stored == value) return false;
        stored = std::move(value);
        return true;
    }
    node.valueIndex.emplace(std::move(key), node.values.size());
    node.values.emplace_back(std::string(name), std::move(value));
    return true;
}

// Returns whether there was such a value.
bool eraseNodeValue(Node& node, std::string_view name) {
    auto it = node.valueIndex.find(fold(name));
    if (it == node.valueIndex.end()) return false;
    node.values.erase(node.values.begin() + static_cast<std::ptrdiff_t>(it->second));
    node.valueIndex.clear();
    for (std::size_t i = 0; i < node.values.size(); ++i)
        node.valueIndex.emplace(fold(node.values[i].first), i);
    return true;
}

const RegValue* findValue(const Node& node, std::string_view name) {
    auto it = node.valueIndex.find(fold(name));
    return it == node.valueIndex.end() ? nullptr : &node.values[it->second].second;
}

// Key path components: none empty, none with a character the file cannot hold.
Result<std::vector<std::string_view>> parsePath(std::string_view path) {
    if (path.empty()) return std::vector<std::string_view>{};
    auto parts = splitPath(path);
    if (parts.size() > kMaxDepth) return fail("注册表项路径的层次太深");
    for (auto part : parts)
        if (part.empty() || !printable(part)) return fail("注册表项路径“" + shown(path) + "”无效");
    return parts;
}

// --- Writing the file
// -----------------------------------------------------------------------------

void appendHexList(std::string& out, const std::vector<std::uint8_t>& data, std::size_t column) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0xF]);
        if (i + 1 == data.size()) break;
        out.push_back(',');
        column += 3;
        // Wrapped as regedit wraps: lines of at most 80 columns, continued two blanks in.
        if (column >= 76) {
            out.append("\\\r\n  ");
            column = 2;
        }
    }
}

bool quotableString(const RegValue& v) {
    if (v.type != RegType::Sz || v.data.empty() || v.data.back() != 0) return false;
    std::string_view text(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1);
    return printable(text);
}

void appendValue(std::string& out, const std::string& name, const RegValue& v) {
    std::size_t start = out.size();
    if (name.empty())
        out.push_back('@');
    else
        out.append("\"").append(escape(name)).append("\"");
    out.push_back('=');
    if (quotableString(v)) {
        std::string_view text(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1);
        out.append("\"").append(escape(text)).append("\"");
    } else if (v.type == RegType::Dword && v.data.size() == 4) {
        char buf[16];
        std::uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                          (static_cast<std::uint32_t>(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        out.append(buf);
    } else {
        if (v.type == RegType::Binary) {
            out.append("hex:");
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
            out.append(buf);
        }
        appendHexList(out, v.data, out.size() - start);
    }
    out.append("\r\n");
}

void appendSection(std::string& out, const std::string& path, const Node& node) {
    out.append("[").append(path).append("]\r\n");
    for (const auto& [name, value] : node.values) appendValue(out, name, value);
    out.append("\r\n");
}

void appendKeys(std::string& out, std::string& path, const Node& node) {
    for (const auto& [folded, child] : node.children) {
        std::size_t mark = path.size();
        path.append("\\").append(child->name);
        appendSection(out, path, *child);
        appendKeys(out, path, *child);
        path.resize(mark);
    }
}

std::string serialize(const Tree& tree) {
    std::string out = "REGEDIT4\r\n\r\n";
    for (std::size_t i = 0; i < tree.roots.size(); ++i) {
        std::string path = rootName(static_cast<RegRoot>(0x80000000u + i));
        // A root is there anyway; it needs a section only for values of its own.
        if (!tree.roots[i].values.empty()) appendSection(out, path, tree.roots[i]);
        appendKeys(out, path, tree.roots[i]);
    }
    return out;
}

// --- Reading the file
// -----------------------------------------------------------------------------

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}
std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}
std::string_view trim(std::string_view s) {
    return trimRight(trimLeft(s));
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::optional<std::uint32_t> parseHexNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

std::optional<std::vector<std::uint8_t>> parseHexList(std::string_view s) {
    std::vector<std::uint8_t> out;
    s = trim(s);
    if (s.empty()) return out;
    while (true) {
        std::size_t comma = s.find(',');
        auto byte = parseHexNumber(trim(s.substr(0, comma)), 2);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos) return out;
        s.remove_prefix(comma + 1);
    }
}

// Reads a quoted text starting just after its opening quote; pos ends after the closing quote.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    while (pos < s.size()) {
        std::size_t n = charLen(s, pos);
        if (n == 1 && s[pos] == '"') {
            ++pos;
            return out;
        }
        if (n == 1 && s[pos] == '\\') {
            if (pos + 1 >= s.size() || (s[pos + 1] != '\\' && s[pos + 1] != '"'))
                return std::nullopt;
            out.push_back(s[pos + 1]);
            pos += 2;
            continue;
        }
        out.append(s.substr(pos, n));
        pos += n;
    }
    return std::nullopt;
}

std::optional<RegValue> parseData(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '"') {
        std::size_t pos = 1;
        auto text = parseQuoted(s, pos);
        if (!text || !trim(s.substr(pos)).empty()) return std::nullopt;
        RegValue v{RegType::Sz, std::vector<std::uint8_t>(text->begin(), text->end())};
        v.data.push_back(0);
        return v;
    }
    if (startsWithNoCase(s, "dword:")) {
        auto d = parseHexNumber(trim(s.substr(6)), 8);
        if (!d) return std::nullopt;
        return RegValue{RegType::Dword,
                        {static_cast<std::uint8_t>(*d), static_cast<std::uint8_t>(*d >> 8),
                         static_cast<std::uint8_t>(*d >> 16), static_cast<std::uint8_t>(*d >> 24)}};
    }
    if (startsWithNoCase(s, "hex:")) {
        auto bytes = parseHexList(s.substr(4));
        if (!bytes) return std::nullopt;
        return RegValue{RegType::Binary, std::move(*bytes)};
    }
    if (startsWithNoCase(s, "hex(")) {
        std::size_t close = s.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        auto type = parseHexNumber(s.substr(4, close - 4), 8);
        auto bytes = parseHexList(s.substr(close + 2));
        if (!type || !bytes) return std::nullopt;
        return RegValue{static_cast<RegType>(*type), std::move(*bytes)};
    }
    return std::nullopt;
}

struct Line {
    std::string_view text;
    std::size_t number;
};

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t number = 1;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back({line, number++});
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// Anything the file holds that this reader does not understand is an error rather than skipped:
// skipping it would drop it at the next rewrite.
Result<Tree> parse(std::string_view bytes, const std::string& fileName) {
    auto bad = [&](std::size_t line, const char* why) {
        return fail("注册表文件 " + fileName + " 第 " + std::to_string(line) + " 行" + why +
                    "，为免丢失内容，注册表没有改动");
    };
    Tree tree;
    auto lines = splitLines(bytes);
    if (lines.empty() || trimRight(lines[0].text) != "REGEDIT4")
        return fail("注册表文件 " + fileName +
                    " 的第一行不是 REGEDIT4，为免丢失内容，注册表没有改动");
    Node* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view t = trim(lines[i].text);
        std::size_t number = lines[i].number;
        if (t.empty() || t.front() == ';') continue;
        if (t.front() == '[') {
            if (t.back() != ']') return bad(number, "的项名缺少“]”");
            std::string_view path = t.substr(1, t.size() - 2);
            if (!path.empty() && path.front() == '-')
                return bad(number, "要删除注册表项，不能识别");
            auto parts = splitPath(path);
            std::optional<std::size_t> root;
            for (std::size_t r = 0; r < 4; ++r)
                if (fold(parts[0]) == rootName(static_cast<RegRoot>(0x80000000u + r))) root = r;
            if (!root) return bad(number, "的根键不能识别");
            parts.erase(parts.begin());
            if (parts.size() > kMaxDepth) return bad(number, "的项层次太深");
            for (auto part : parts)
                if (part.empty()) return bad(number, "的项路径中有空的一级");
            bool created = false;
            current = &makePath(tree.roots[*root], parts, created);
            continue;
        }
        if (t.front() != '"' && t.front() != '@') return bad(number, "不能识别");
        if (!current) return bad(number, "的值之前没有项名");
        std::string name;
        std::size_t pos = 1;
        if (t.front() == '"') {
            auto quoted = parseQuoted(t, pos);
            if (!quoted) return bad(number, "的值名称不完整");
            name = std::move(*quoted);
        }
        std::string_view rest = trimLeft(t.substr(pos));
        if (rest.empty() || rest.front() != '=') return bad(number, "的值名称后缺少“=”");
        rest = trimLeft(rest.substr(1));
        std::string joined;
        if (startsWithNoCase(rest, "hex")) {
            // A hex list may go on over lines that end in a backslash.
            joined = std::string(trimRight(rest));
            while (!joined.empty() && joined.back() == '\\') {
                joined.pop_back();
                if (++i >= lines.size()) return bad(number, "的十六进制数据没有结束");
                joined.append(trim(lines[i].text));
            }
            rest = joined;
        }
        auto value = parseData(rest);
        if (!value) return bad(number, "的数据不能识别");
        setNodeValue(*current, name, std::move(*value));
    }
    return tree;
}

// --- The registry
// ---------------------------------------------------------------------------------

// What the file looked like when the tree in memory last matched it.
struct Stamp {
    bool exists = false;
    std::uintmax_t size = 0;
    fs::file_time_type mtime{};
    bool operator==(const Stamp&) const = default;
};

class FileRegistry final : public Registry {
  public:
    FileRegistry(fs::path file, std::vector<RegRoot> readOnlyRoots)
        : file_(std::move(file)), readOnlyRoots_(std::move(readOnlyRoots)) {
        auto name = file_.filename().u8string();
        fileName_.assign(name.begin(), name.end());
    }

    Result<Key> createKey(RegRoot root, std::string_view path) override {
        auto index = rootIndex(root);
        if (!index) return fail("无效的注册表根键");
        for (RegRoot ro : readOnlyRoots_)
            if (ro == root) return fail(std::string("没有写入 ") + rootName(root) + " 的权限");
        auto parts = parsePath(path);
        if (!parts) return std::unexpected(parts.error());
        Status made = change([&](Tree& tree) -> Result<bool> {
            bool created = false;
            makePath(tree.roots[*index], *parts, created);
            return created;
        });
        if (!made) return std::unexpected(made.error());
        Key key = nextKey_++;
        handles_.emplace(key, Handle{*index, std::string(path)});
        return key;
    }

    Status setValue(Key key, std::string_view name, RegType type,
                    const std::vector<std::uint8_t>& data) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开");
        if (!printable(name))
            return fail("值名称“" + shown(name) + "”中有注册表文件不能保存的字符");
        return change([&](Tree& tree) -> Result<bool> {
            auto node = openNode(tree, handle->second);
            if (!node) return std::unexpected(node.error());
            return setNodeValue(**node, name, RegValue{type, data});
        });
    }

    Status deleteKey(Key key, std::string_view subkey) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开");
        if (subkey.empty()) return fail("没有给出要删除的子项名称");
        auto parts = parsePath(subkey);
        if (!parts) return std::unexpected(parts.error());
        return change([&](Tree& tree) -> Result<bool> {
            auto node = openNode(tree, handle->second);
            if (!node) return std::unexpected(node.error());
            auto leaf = parts->back();
            Node* parent =
                findPath(**node, std::vector<std::string_view>(parts->begin(), parts->end() - 1));
            if (!parent) return false;
            auto it = parent->children.find(fold(leaf));
            if (it == parent->children.end()) return false;
            if (!it->second->children.empty())
                return fail("子项“" + shown(it->second->name) + "”下还有子项，不能删除");
            parent->children.erase(it);
            return true;
        });
    }

    void closeKey(Key key) override { handles_.erase(key); }

    Status deleteValue(Key key, std::string_view name) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开");
        return change([&](Tree& tree) -> Result<bool> {
            auto node = openNode(tree, handle->second);
            if (!node) return std::unexpected(node.error());
            return eraseNodeValue(**node, name);
        });
    }

    Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                              std::string_view name) override {
        std::optional<RegValue> out;
        Status read = readContent(root, path, [&](Node& node) {
            if (auto* v = findValue(node, name)) out = *v;
        });
        if (!read) return std::unexpected(read.error());
        return out;
    }

    Result<std::optional<RegKeyContent>> readKey(RegRoot root, std::string_view path) override {
        std::optional<RegKeyContent> out;
        Status read = readContent(root, path, [&](Node& node) {
            out.emplace();
            for (const auto& [name, value] : node.values) out->values.push_back({name, value});
            for (const auto& [folded, child] : node.children) out->subkeys.push_back(child->name);
        });
        if (!read) return std::unexpected(read.error());
        return out;
    }

    std::optional<RegValue> queryValue(RegRoot root, std::string_view path,
                                       std::string_view name) override {
        std::optional<RegValue> out;
        onFileContent(root, path, [&](Node& node) {
            if (auto* v = findValue(node, name)) out = *v;
        });
        return out;
    }

    bool keyExists(RegRoot root, std::string_view path) override {
        bool found = false;
        onFileContent(root, path, [&](Node&) { found = true; });
        return found;
    }

    void beginGroup() override {
        if (inGroup_) return;
        inGroup_ = true;
        groupLoaded_ = false;
        groupDirty_ = false;
        groupError_.reset();
    }

    Status endGroup() override {
        if (!inGroup_) return {};
        inGroup_ = false;
        if (groupError_) {
            tree_.reset();
            return std::unexpected(*groupError_);
        }
        if (!groupDirty_) return {};
        return store();
    }

  private:
    struct Handle {
        std::size_t root;
        std::string path;
    };

    Result<Stamp> stampNow() const {
        std::error_code ec;
        auto status = fs::status(file_, ec);
        if (status.type() == fs::file_type::not_found) return Stamp{};
        if (ec) return fail("无法读取注册表文件 " + fileName_ + "，注册表没有改动");
        if (!fs::is_regular_file(status)) return fail(fileName_ + " 不是文件，注册表没有改动");
        // Each call gets its own error code: a second call would clear the first one's failure.
        std::error_code sizeError, timeError;
        Stamp s{true, fs::file_size(file_, sizeError), fs::last_write_time(file_, timeError)};
        if (sizeError || timeError)
            return fail("无法读取注册表文件 " + fileName_ + "，注册表没有改动");
        return s;
    }

    Result<Tree> readTree(const Stamp& stamp) const {
        if (!stamp.exists) return Tree{};
        auto bytes = readFile(file_);
        if (!bytes) return fail(bytes.error().message + "，注册表没有改动");
        return parse(*bytes, fileName_);
    }

    // The tree the next change works on: the cached one while it still matches the file, and
    // within a group the one loaded at its first change whatever happens to the file meanwhile.
    Result<Tree*> working() {
        if (inGroup_ && groupLoaded_) return &*tree_;
        auto stamp = stampNow();
        if (!stamp) return std::unexpected(stamp.error());
        if (!tree_ || *stamp != stamp_) {
            tree_.reset();
            auto tree = readTree(*stamp);
            if (!tree) return std::unexpected(tree.error());
            tree_ = std::move(*tree);
            stamp_ = *stamp;
        }
        if (inGroup_) groupLoaded_ = true;
        return &*tree_;
    }

    // Runs one change on the working tree (apply returns whether it changed anything) and stores
    // the tree unless a group holds it. apply must leave the tree as it was when it fails.
    template <class Apply>
    Status change(Apply&& apply) {
        if (inGroup_ && groupError_) return std::unexpected(*groupError_);
        auto tree = working();
        if (!tree) {
            if (inGroup_) groupError_ = tree.error();
            return std::unexpected(tree.error());
        }
        Result<bool> changed = apply(**tree);
        if (!changed) return std::unexpected(changed.error());
        if (!*changed) return {};
        if (inGroup_) {
            groupDirty_ = true;
            return {};
        }
        return store();
    }

    Status store() {
        Status written = writeFileAtomic(file_, serialize(*tree_));
        if (!written) {
            // The tree now holds what the file does not; read the file afresh next time.
            tree_.reset();
            return fail("注册表没有改动：" + written.error().message);
        }
        auto stamp = stampNow();
        if (stamp)
            stamp_ = *stamp;
        else
            tree_.reset();
        return {};
    }

    Result<Node*> openNode(Tree& tree, const Handle& handle) {
        auto parts = splitPath(handle.path);
        if (handle.path.empty()) parts.clear();
        Node* node = findPath(tree.roots[handle.root], parts);
        if (!node) return fail("注册表项“" + shown(handle.path) + "”已被删除");
        return node;
    }

    // Finds the key in what the file holds now, not in changes a group still holds.
    template <class Visit>
    void onFileContent(RegRoot root, std::string_view path, Visit&& visit) {
        auto index = rootIndex(root);
        auto parts = parsePath(path);
        if (!index || !parts) return;
        Tree* tree = nullptr;
        Tree fresh;
        auto stamp = stampNow();
        if (!stamp) return;
        if (tree_ && !(inGroup_ && groupDirty_) && *stamp == stamp_) {
            tree = &*tree_;
        } else {
            auto read = readTree(*stamp);
            if (!read) return;
            fresh = std::move(*read);
            tree = &fresh;
        }
        if (Node* node = findPath(tree->roots[*index], *parts)) visit(*node);
    }

    // Like onFileContent, but a file that cannot be read is an error rather than an empty registry.
    template <class Visit>
    Status readContent(RegRoot root, std::string_view path, Visit&& visit) {
        auto index = rootIndex(root);
        if (!index) return fail("无效的注册表根键");
        auto parts = parsePath(path);
        if (!parts) return {};  // no key can have that path
        auto stamp = stampNow();
        if (!stamp) return std::unexpected(stamp.error());
        Tree fresh;
        Tree* tree = &fresh;
        if (tree_ && !(inGroup_ && groupDirty_) && *stamp == stamp_) {
            tree = &*tree_;
        } else if (!inGroup_) {
            // Kept for the reads and writes that follow, as a change keeps it: a pass reads
            // every value it is about to write.
            auto read = readTree(*stamp);
            if (!read) return std::unexpected(read.error());
            tree_ = std::move(*read);
            stamp_ = *stamp;
            tree = &*tree_;
        } else {
            auto read = readTree(*stamp);
            if (!read) return std::unexpected(read.error());
            fresh = std::move(*read);
        }
        if (Node* node = findPath(tree->roots[*index], *parts)) visit(*node);
        return {};
    }

    fs::path file_;
    std::string fileName_;
    std::vector<RegRoot> readOnlyRoots_;
    std::optional<Tree> tree_;
    Stamp stamp_;
    std::map<Key, Handle> handles_;
    Key nextKey_ = 1;
    bool inGroup_ = false;
    bool groupLoaded_ = false;
    bool groupDirty_ = false;
    std::optional<Error> groupError_;
};

}  // namespace

namespace regedit4 {

std::string valueLine(std::string_view name, const RegValue& value) {
    std::string out;
    appendValue(out, std::string(name), value);
    return out;
}

std::string deletionLine(std::string_view name) {
    if (name.empty()) return "@=-\r\n";
    return "\"" + escape(name) + "\"=-\r\n";
}

std::vector<std::string_view> splitPath(std::string_view path) {
    return platform::splitPath(path);
}

std::optional<ParsedValue> parseValueLine(std::string_view line) {
    std::string_view t = trim(line);
    if (t.empty() || (t.front() != '"' && t.front() != '@')) return std::nullopt;
    ParsedValue out;
    std::size_t pos = 1;
    if (t.front() == '"') {
        auto quoted = parseQuoted(t, pos);
        if (!quoted) return std::nullopt;
        out.name = std::move(*quoted);
    }
    std::string_view rest = trimLeft(t.substr(pos));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = trim(rest.substr(1));
    if (rest == "-") return out;
    out.value = parseData(rest);
    if (!out.value) return std::nullopt;
    return out;
}

}  // namespace regedit4

std::unique_ptr<Registry> makeFileRegistry(std::filesystem::path file,
                                           std::vector<RegRoot> readOnlyRoots) {
    return std::make_unique<FileRegistry>(std::move(file), std::move(readOnlyRoots));
}

Result<std::string> rewrittenRegistryText(std::string_view bytes) {
    auto tree = parse(bytes, "registry.reg");
    if (!tree) return std::unexpected(tree.error());
    return serialize(*tree);
}

}  // namespace tessmar::platform
