#pragma once
// The custom entry store: positional operations on table iexf of user.dat, each opening the
// database afresh and releasing it when done. Position r counts from 0 in natural order.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "custom/entry.h"
#include "platform/result.h"

namespace tessmar::custom {

inline constexpr const char* kEntryFileName = "user.dat";

class Store {
  public:
    explicit Store(std::filesystem::path file);
    const std::filesystem::path& path() const { return path_; }
    bool exists() const;

    Result<std::vector<std::string>> listNames() const;
    Result<std::size_t> count() const;
    // Fails when r is past the last entry.
    Result<Entry> readAt(std::size_t r) const;
    // Compares each stored name with name exactly (the caller trims).
    Result<bool> nameExists(std::string_view name) const;
    // Stores the entry as given (the caller trims what is to be trimmed); an unset reg stays unset.
    Status append(const Entry& entry) const;
    // Rewrites entry r in place; an unset reg leaves the stored code unchanged.
    Status changeAt(std::size_t r, const Entry& entry) const;
    Status deleteAt(std::size_t r) const;
    // The first `rows` entries, or all of them when the table holds fewer: the apply pass never
    // reads past the last record.
    Result<std::vector<Entry>> walk(std::size_t rows) const;

  private:
    std::filesystem::path path_;
};

}  // namespace tessmar::custom
