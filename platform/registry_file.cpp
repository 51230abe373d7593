// The registry stand-in: the whole registry held in one REGEDIT4 file (code page 936, CR LF) that
// regedit on Windows can import. The file is parsed into a tree, changed there and written back
// whole, atomically; a file that cannot be parsed or written is never replaced.
#include <array>
#include <map>
#include <memory>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "platform/codepage.h"
#include "platform/cp936.h"
#include "platform/files.h"
#include "platform/regedit4.h"
#include "platform/registry.h"
#include "platform/registry_text.h"

namespace tessmar::platform {
namespace fs = std::filesystem;

namespace {

using cp936::foldName;
using cp936::splitPath;
using regedit4::printable;

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
    auto it = node.children.find(foldName(name));
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
        auto& slot = node->children[foldName(part)];
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
    std::string key = foldName(name);
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
    auto it = node.valueIndex.find(foldName(name));
    if (it == node.valueIndex.end()) return false;
    node.values.erase(node.values.begin() + static_cast<std::ptrdiff_t>(it->second));
    node.valueIndex.clear();
    for (std::size_t i = 0; i < node.values.size(); ++i)
        node.valueIndex.emplace(foldName(node.values[i].first), i);
    return true;
}

const RegValue* findValue(const Node& node, std::string_view name) {
    auto it = node.valueIndex.find(foldName(name));
    return it == node.valueIndex.end() ? nullptr : &node.values[it->second].second;
}

// Key path components: none empty, none with a character the file cannot hold.
Result<std::vector<std::string_view>> parsePath(std::string_view path) {
    if (path.empty()) return std::vector<std::string_view>{};
    auto parts = splitPath(path);
    if (parts.size() > kMaxKeyDepth) return fail("注册表项路径的层次太深");
    for (auto part : parts)
        if (part.empty() || !printable(part)) return fail("注册表项路径“" + shown(path) + "”无效");
    return parts;
}

// --- Writing the file
// -----------------------------------------------------------------------------

void appendSection(std::string& out, RegRoot root, const std::string& path, const Node& node) {
    out += regedit4::sectionLine(root, path);
    for (const auto& [name, value] : node.values) out += regedit4::valueLine(name, value);
    out.append("\r\n");
}

void appendKeys(std::string& out, RegRoot root, std::string& path, const Node& node) {
    for (const auto& [folded, child] : node.children) {
        std::size_t mark = path.size();
        if (!path.empty()) path.push_back('\\');
        path.append(child->name);
        appendSection(out, root, path, *child);
        appendKeys(out, root, path, *child);
        path.resize(mark);
    }
}

std::string serialize(const Tree& tree) {
    std::string out = std::string(regedit4::kHeader) + "\r\n\r\n";
    for (std::size_t i = 0; i < tree.roots.size(); ++i) {
        auto root = static_cast<RegRoot>(0x80000000u + i);
        std::string path;
        // A root is there anyway; it needs a section only for values of its own.
        if (!tree.roots[i].values.empty()) appendSection(out, root, path, tree.roots[i]);
        appendKeys(out, root, path, tree.roots[i]);
    }
    return out;
}

// --- Reading the file
// -----------------------------------------------------------------------------

// Anything the file holds that this reader does not understand is an error rather than skipped:
// skipping it would drop it at the next rewrite.
Result<Tree> parse(std::string_view bytes, const std::string& fileName) {
    auto bad = [&](std::size_t line, const char* why) {
        return fail("注册表文件 " + fileName + " 第 " + std::to_string(line) + " 行" + why +
                    "，为免丢失内容，注册表没有改动");
    };
    Tree tree;
    auto lines = regedit4::splitLines(bytes);
    if (!regedit4::startsWithHeader(lines))
        return fail("注册表文件 " + fileName +
                    " 的第一行不是 REGEDIT4，为免丢失内容，注册表没有改动");
    Node* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view t = regedit4::trim(lines[i].text);
        std::size_t number = lines[i].number;
        if (t.empty() || t.front() == ';') continue;
        if (t.front() == '[') {
            auto section = regedit4::parseSection(t);
            if (!section) return bad(number, section.error());
            auto parts =
                section->path.empty() ? std::vector<std::string_view>{} : splitPath(section->path);
            bool created = false;
            current = &makePath(tree.roots[*rootIndex(section->root)], parts, created);
            continue;
        }
        auto value = regedit4::readValue(lines, i);
        if (!value) return bad(number, value.error());
        if (!current) return bad(number, "的值之前没有项名");
        if (!value->value) return bad(number, "要删除值，不能识别");
        setNodeValue(*current, value->name, std::move(*value->value));
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
            auto it = parent->children.find(foldName(leaf));
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
