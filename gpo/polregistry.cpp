#include "gpo/polregistry.h"

#include <algorithm>
#include <map>
#include <optional>

#include "gpo/effects.h"
#include "gpo/localpolicy.h"
#include "gpo/preg.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace tessmar::gpo {
namespace fs = std::filesystem;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

namespace {

bool isText(std::uint32_t type) {
    return type == static_cast<std::uint32_t>(RegType::Sz) ||
           type == static_cast<std::uint32_t>(RegType::ExpandSz);
}

// Names such as **Del.x and **DeleteKeys are instructions to Group Policy, not values.
bool instruction(std::string_view name) {
    return name.starts_with("**");
}

// True when path lies strictly below key.
bool below(std::string_view path, std::string_view key) {
    if (key.empty()) return !path.empty();
    return path.size() > key.size() + 1 && path[key.size()] == '\\' &&
           sameName(path.substr(0, key.size()), key);
}

class PolicyRegistry : public platform::Registry {
  public:
    PolicyRegistry(fs::path pol, fs::path gpt) : pol_(std::move(pol)), gpt_(std::move(gpt)) {}

    Result<Key> createKey(RegRoot root, std::string_view path) override {
        if (root != RegRoot::CurrentUser) return fail("组策略文件只有用户部分");
        auto loaded = records();
        if (!loaded) return std::unexpected(loaded.error());
        auto text = platform::fromCp936(path);
        if (!text) return std::unexpected(text.error());
        const Key key = next_++;
        handles_[key] = *text;
        return key;
    }

    Status setValue(Key key, std::string_view name, RegType type,
                    const std::vector<std::uint8_t>& data) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开，无法写入值");
        if (handle->second.empty()) return fail("组策略不能写入根键本身的值");
        if (name.empty()) return fail("组策略文件不能写入项的默认值（无名称的值）");
        auto text = platform::fromCp936(name);
        if (!text) return std::unexpected(text.error());
        PolRecord record{handle->second, *text, static_cast<std::uint32_t>(type), data};
        if (isText(record.type)) {
            std::string bytes(data.begin(), data.end());
            while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
            auto utf8 = platform::fromCp936(bytes);
            if (!utf8) return std::unexpected(utf8.error());
            auto wide = utf16le(*utf8);
            if (!wide) return std::unexpected(wide.error());
            record.data.assign(wide->begin(), wide->end());
            record.data.insert(record.data.end(), {0, 0});
        }
        return change([&](std::vector<PolRecord>& all) {
            auto same = [&](const PolRecord& r) {
                return sameName(r.key, record.key) &&
                       (sameName(r.name, record.name) || sameName(r.name, "**Del." + record.name));
            };
            auto at = std::find_if(all.begin(), all.end(), same);
            if (at == all.end()) {
                all.push_back(std::move(record));
            } else {
                *at = std::move(record);
                std::erase_if(all, [&](const PolRecord& r) { return &r != &*at && same(r); });
            }
        });
    }

    Status deleteKey(Key key, std::string_view subkey) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开，无法删除子项");
        if (subkey.empty()) return fail("没有指定要删除的子项");
        engine::RegWrite write;
        write.op = engine::RegWrite::Op::DeleteKey;
        write.key = handle->second;
        auto text = platform::fromCp936(subkey);
        if (!text) return std::unexpected(text.error());
        write.name = *text;
        auto record = recordOf(write);
        if (!record) return std::unexpected(record.error());
        const std::string gone = handle->second + "\\" + *text;
        return change([&](std::vector<PolRecord>& all) {
            std::erase_if(all, [&](const PolRecord& r) {
                return sameName(r.key, gone) || below(r.key, gone) ||
                       (sameName(r.key, record->key) && r.name == kDeleteKeys &&
                        r.data == record->data);
            });
            all.push_back(std::move(*record));
        });
    }

    void closeKey(Key key) override { handles_.erase(key); }

    Status deleteValue(Key key, std::string_view name) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return fail("注册表项没有打开，无法删除值");
        auto text = platform::fromCp936(name);
        if (!text) return std::unexpected(text.error());
        return change([&](std::vector<PolRecord>& all) {
            std::erase_if(all, [&](const PolRecord& r) {
                return sameName(r.key, handle->second) &&
                       (sameName(r.name, *text) || sameName(r.name, "**Del." + *text));
            });
        });
    }

    Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                              std::string_view name) override {
        auto found = read(root, path);
        if (!found) return std::unexpected(found.error());
        auto wanted = platform::fromCp936(name);
        if (!wanted) return std::optional<RegValue>();
        for (const PolRecord* r : found->values)
            if (sameName(r->name, *wanted)) {
                auto value = valueOf(*r);
                if (!value) return std::unexpected(value.error());
                return std::optional<RegValue>(std::move(*value));
            }
        return std::optional<RegValue>();
    }

    Result<std::optional<platform::RegKeyContent>> readKey(RegRoot root,
                                                           std::string_view path) override {
        auto found = read(root, path);
        if (!found) return std::unexpected(found.error());
        if (!found->exists) return std::optional<platform::RegKeyContent>();
        platform::RegKeyContent content;
        for (const PolRecord* r : found->values) {
            auto value = valueOf(*r);
            auto name = platform::toCp936(r->name);
            if (!value || !name) return fail("组策略中的值“" + r->name + "”无法用代码页936表示");
            content.values.push_back({*name, std::move(*value)});
        }
        for (const std::string& child : found->subkeys) {
            auto name = platform::toCp936(child);
            if (!name) return fail("组策略中的项“" + child + "”无法用代码页936表示");
            content.subkeys.push_back(*name);
        }
        return std::optional<platform::RegKeyContent>(std::move(content));
    }

    std::optional<RegValue> queryValue(RegRoot root, std::string_view path,
                                       std::string_view name) override {
        auto value = readValue(root, path, name);
        return value ? *value : std::nullopt;
    }

    bool keyExists(RegRoot root, std::string_view path) override {
        auto found = read(root, path);
        return found && found->exists;
    }

    void beginGroup() override {
        if (inGroup_) return;
        inGroup_ = true;
        dirty_ = false;
        records_.reset();
    }

    Status endGroup() override {
        if (!inGroup_) return {};
        inGroup_ = false;
        if (!dirty_) return {};
        return store();
    }

  private:
    struct Found {
        bool exists = false;
        std::vector<const PolRecord*> values;
        std::vector<std::string> subkeys;  // UTF-8, first spelling
    };

    Result<std::vector<PolRecord>*> records() {
        // Outside a group every call sees the file as it is now.
        if (records_ && inGroup_) return &*records_;
        std::vector<PolRecord> loaded;
        if (platform::fileExists(pol_)) {
            auto bytes = platform::readFile(pol_);
            if (!bytes) return std::unexpected(bytes.error());
            auto decoded = decodePol(*bytes);
            if (!decoded)
                return fail(platform::pathText(pol_) + "：" + decoded.error().message +
                            "，未作改动。");
            loaded = std::move(*decoded);
        }
        records_ = std::move(loaded);
        return &*records_;
    }

    Result<Found> read(RegRoot root, std::string_view path) {
        if (root != RegRoot::CurrentUser) return fail("组策略文件只有用户部分");
        auto all = records();
        if (!all) return std::unexpected(all.error());
        Found found;
        auto text = platform::fromCp936(path);
        if (!text) return found;
        for (const PolRecord& r : **all) {
            if (sameName(r.key, *text)) {
                found.exists = true;
                if (!r.name.empty() && !instruction(r.name)) found.values.push_back(&r);
            } else if (below(r.key, *text)) {
                found.exists = true;
                std::string_view rest =
                    std::string_view(r.key).substr(text->empty() ? 0 : text->size() + 1);
                std::string child(rest.substr(0, rest.find('\\')));
                if (std::none_of(found.subkeys.begin(), found.subkeys.end(),
                                 [&](const std::string& s) { return sameName(s, child); }))
                    found.subkeys.push_back(std::move(child));
            }
        }
        return found;
    }

    static Result<RegValue> valueOf(const PolRecord& r) {
        RegValue value{static_cast<RegType>(r.type), r.data};
        if (!isText(r.type)) return value;
        std::string_view wide(reinterpret_cast<const char*>(r.data.data()), r.data.size());
        auto utf8 = utf8FromUtf16le(wide);
        if (!utf8) return std::unexpected(utf8.error());
        auto bytes = platform::toCp936(*utf8);
        if (!bytes) return std::unexpected(bytes.error());
        value.data.assign(bytes->begin(), bytes->end());
        value.data.push_back(0);
        return value;
    }

    template <class Change>
    Status change(Change&& apply) {
        auto all = records();
        if (!all) return std::unexpected(all.error());
        apply(**all);
        if (inGroup_) {
            dirty_ = true;
            return {};
        }
        return store();
    }

    // The policy file first, then its raised version: a raised version over the old file would
    // be taken up as if it were the new one.
    Status store() {
        auto bytes = encodePol(*records_);
        if (!bytes) return std::unexpected(bytes.error());
        std::string gpt;
        if (platform::fileExists(gpt_)) {
            auto current = platform::readFile(gpt_);
            if (!current) return std::unexpected(current.error());
            gpt = std::move(*current);
        }
        if (auto written = writePolicyFile(pol_, *bytes); !written) {
            records_.reset();
            return fail("无法写入 " + platform::pathText(pol_) + "：" + written.error().message);
        }
        if (auto written = writePolicyFile(gpt_, raisedGptIni(gpt, true)); !written)
            return fail("无法写入 " + platform::pathText(gpt_) + "：" + written.error().message);
        return {};
    }

    fs::path pol_, gpt_;
    std::optional<std::vector<PolRecord>> records_;
    std::map<Key, std::string> handles_;  // UTF-8 key paths
    Key next_ = 1;
    bool inGroup_ = false;
    bool dirty_ = false;
};

}  // namespace

std::unique_ptr<platform::Registry> makePolicyRegistry(fs::path pol, fs::path gpt) {
    return std::make_unique<PolicyRegistry>(std::move(pol), std::move(gpt));
}

}  // namespace tessmar::gpo
