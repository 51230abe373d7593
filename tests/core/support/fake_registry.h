#pragma once
// An in-memory registry for tests: records every call, compares key and value names without regard
// to letter case as Windows does, and can be told to fail a root.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tessmar::test {

class FakeRegistry : public platform::Registry {
  public:
    enum class Op { Create, Set, Delete, Close, BeginGroup, EndGroup, DeleteValue };

    struct Call {
        Op op;
        platform::RegRoot root{};
        std::string path;  // the key path as given (for Set/Delete/Close: that of the open key)
        std::string name;  // value or subkey name
        platform::RegType type = platform::RegType::None;
        std::vector<std::uint8_t> data;
    };

    Result<Key> createKey(platform::RegRoot root, std::string_view path) override;
    Status setValue(Key key, std::string_view name, platform::RegType type,
                    const std::vector<std::uint8_t>& data) override;
    Status deleteKey(Key key, std::string_view subkey) override;
    void closeKey(Key key) override;
    Status deleteValue(Key key, std::string_view name) override;
    Result<std::optional<platform::RegValue>> readValue(platform::RegRoot root,
                                                        std::string_view path,
                                                        std::string_view name) override;
    Result<std::optional<platform::RegKeyContent>> readKey(platform::RegRoot root,
                                                           std::string_view path) override;
    std::optional<platform::RegValue> queryValue(platform::RegRoot root, std::string_view path,
                                                 std::string_view name) override;
    bool keyExists(platform::RegRoot root, std::string_view path) override;
    void beginGroup() override;
    Status endGroup() override;

    // createKey on this root fails.
    void failCreate(platform::RegRoot root) { failCreate_.insert(root); }
    // createKey on this root works, but setting values and deleting keys under it fails.
    void failWrites(platform::RegRoot root) { failWrites_.insert(root); }
    // Reading anything under this root fails.
    void failReads(platform::RegRoot root) { failReads_.insert(root); }
    // The next endGroup fails, and the group's writes are undone.
    void failEndGroup() { failEndGroup_ = true; }

    // Keys opened and not yet closed.
    std::size_t openKeys() const { return open_.size(); }
    // Only the calls of one kind, in order.
    std::vector<Call> callsOf(Op op) const;
    // Values stored under all keys, counted.
    std::size_t valueCount() const;

    std::vector<Call> calls;

  private:
    struct OpenKey {
        platform::RegRoot root;
        std::string path;
    };
    struct Stored {
        // key: folded path; value: folded name -> value
        std::set<std::string> keys;
        std::map<std::string, std::map<std::string, platform::RegNamedValue>> values;
        std::map<std::string, std::string> spelled;  // folded path -> the last level as first given
    };
    // Records the call on an open key; the key, or nullptr when it is not open.
    const OpenKey* logCall(Op op, Key key, std::string_view name,
                           platform::RegType type = platform::RegType::None,
                           const std::vector<std::uint8_t>& data = {});
    static std::string fold(std::string_view text);
    static std::string keyId(platform::RegRoot root, std::string_view path);

    Stored stored_;
    std::optional<Stored> groupStart_;
    std::map<Key, OpenKey> open_;
    Key nextKey_ = 1;
    std::set<platform::RegRoot> failCreate_, failWrites_, failReads_;
    bool failEndGroup_ = false;
};

}  // namespace tessmar::test
