#include "platform/registry_view.h"

#include <map>
#include <utility>

namespace tessmar::platform {
namespace {

class RedirectedRegistry : public Registry {
  public:
    RedirectedRegistry(Registry& others, Redirect redirect)
        : others_(others), redirect_(std::move(redirect)) {}

    Result<Key> createKey(RegRoot root, std::string_view path) override {
        auto [registry, r, p] = place(root, path);
        auto key = registry->createKey(r, p);
        if (!key) return key;
        const Key ours = next_++;
        open_[ours] = {registry, *key};
        return ours;
    }

    Status setValue(Key key, std::string_view name, RegType type,
                    const std::vector<std::uint8_t>& data) override {
        auto it = open_.find(key);
        if (it == open_.end()) return fail("注册表项没有打开，无法写入值");
        return it->second.first->setValue(it->second.second, name, type, data);
    }

    Status deleteKey(Key key, std::string_view subkey) override {
        auto it = open_.find(key);
        if (it == open_.end()) return fail("注册表项没有打开，无法删除子项");
        return it->second.first->deleteKey(it->second.second, subkey);
    }

    void closeKey(Key key) override {
        auto it = open_.find(key);
        if (it == open_.end()) return;
        it->second.first->closeKey(it->second.second);
        open_.erase(it);
    }

    Status deleteValue(Key key, std::string_view name) override {
        auto it = open_.find(key);
        if (it == open_.end()) return fail("注册表项没有打开，无法删除值");
        return it->second.first->deleteValue(it->second.second, name);
    }

    Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                              std::string_view name) override {
        auto [registry, r, p] = place(root, path);
        return registry->readValue(r, p, name);
    }

    Result<std::optional<RegKeyContent>> readKey(RegRoot root, std::string_view path) override {
        auto [registry, r, p] = place(root, path);
        return registry->readKey(r, p);
    }

    std::optional<RegValue> queryValue(RegRoot root, std::string_view path,
                                       std::string_view name) override {
        auto [registry, r, p] = place(root, path);
        return registry->queryValue(r, p, name);
    }

    bool keyExists(RegRoot root, std::string_view path) override {
        auto [registry, r, p] = place(root, path);
        return registry->keyExists(r, p);
    }

    void beginGroup() override {
        others_.beginGroup();
        if (redirect_.registry != &others_) redirect_.registry->beginGroup();
    }

    Status endGroup() override {
        Status first = others_.endGroup();
        Status second = redirect_.registry != &others_ ? redirect_.registry->endGroup() : Status{};
        if (!first) return first;
        return second;
    }

  private:
    struct Place {
        Registry* registry;
        RegRoot root;
        std::string path;
    };

    Place place(RegRoot root, std::string_view path) const {
        if (root != RegRoot::CurrentUser) return {&others_, root, std::string(path)};
        std::string full = redirect_.prefix;
        if (!full.empty() && !path.empty()) full += '\\';
        full += path;
        return {redirect_.registry, redirect_.root, std::move(full)};
    }

    Registry& others_;
    Redirect redirect_;
    std::map<Key, std::pair<Registry*, Key>> open_;
    Key next_ = 1;
};

}  // namespace

std::unique_ptr<Registry> makeRedirectedRegistry(Registry& others, Redirect currentUser) {
    return std::make_unique<RedirectedRegistry>(others, std::move(currentUser));
}

}  // namespace tessmar::platform
