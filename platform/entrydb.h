#pragma once
// The custom entry database user.dat: table iexf in a SQLite file that ships with the program. It
// is opened only if it already exists, and never created or repaired here; a missing, damaged or
// locked file, or one without table iexf, is an error the caller reports.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace tessmar::platform {

// One record of iexf. An empty (NULL) field is nullopt.
struct EntryRow {
    std::optional<std::string> sm, hkey1, subkey1, newkey1, ka1;  // UTF-8
    std::optional<std::int16_t> reg;
    bool operator==(const EntryRow&) const = default;
};

// A record together with the identity the database keeps for it.
struct StoredEntry {
    std::int64_t id = 0;
    EntryRow row;
};

class EntryDatabase {
  public:
    ~EntryDatabase();
    EntryDatabase(EntryDatabase&&) noexcept;
    EntryDatabase& operator=(EntryDatabase&&) noexcept;

    static Result<EntryDatabase> open(const std::filesystem::path& file);

    // Every record in natural order: the order of adding; a changed record keeps its place.
    Result<std::vector<StoredEntry>> all();
    Result<std::size_t> count();
    // Adds a record after all others. An unset reg is stored as NULL.
    Status append(const EntryRow& row);
    // Rewrites the record with that id in place; when keepReg, its reg is left as stored.
    Status change(std::int64_t id, const EntryRow& row, bool keepReg);
    Status remove(std::int64_t id);

    // The table as the program expects to find it, for the tool that makes the shipped file.
    static const char* schema();

  private:
    struct Impl;
    explicit EntryDatabase(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessmar::platform
