#include "custom/store.h"

#include <algorithm>
#include <utility>

#include "platform/entrydb.h"
#include "platform/files.h"

namespace tessmar::custom {
namespace {

Entry toEntry(const platform::EntryRow& row) {
    return Entry{row.sm.value_or(""),      row.hkey1.value_or(""), row.subkey1.value_or(""),
                 row.newkey1.value_or(""), row.ka1.value_or(""),   row.reg};
}

platform::EntryRow toRow(const Entry& entry) {
    return platform::EntryRow{entry.sm,      entry.hkey1, entry.subkey1,
                              entry.newkey1, entry.ka1,   entry.reg};
}

// Every record in natural order, read in one opening of the database.
Result<std::vector<platform::StoredEntry>> readAll(const std::filesystem::path& file) {
    auto db = platform::EntryDatabase::open(file);
    if (!db) return std::unexpected(db.error());
    return db->all();
}

std::unexpected<Error> noSuchEntry(std::size_t r, std::size_t count) {
    return fail("第 " + std::to_string(r + 1) + " 项自定项目不存在（现有 " + std::to_string(count) +
                " 项），请重新打开列表后再试。");
}

// The database identity of the record at position r, and the database to act on it with.
Result<std::pair<platform::EntryDatabase, std::int64_t>> locate(const std::filesystem::path& file,
                                                                std::size_t r) {
    auto db = platform::EntryDatabase::open(file);
    if (!db) return std::unexpected(db.error());
    auto rows = db->all();
    if (!rows) return std::unexpected(rows.error());
    if (r >= rows->size()) return noSuchEntry(r, rows->size());
    return std::pair{std::move(*db), (*rows)[r].id};
}

}  // namespace

Store::Store(std::filesystem::path file) : path_(std::move(file)) {}

bool Store::exists() const {
    return platform::fileExists(path_);
}

Result<std::vector<std::string>> Store::listNames() const {
    auto rows = readAll(path_);
    if (!rows) return std::unexpected(rows.error());
    std::vector<std::string> names;
    names.reserve(rows->size());
    for (const auto& stored : *rows) names.push_back(stored.row.sm.value_or(""));
    return names;
}

Result<std::size_t> Store::count() const {
    auto db = platform::EntryDatabase::open(path_);
    if (!db) return std::unexpected(db.error());
    return db->count();
}

Result<Entry> Store::readAt(std::size_t r) const {
    auto rows = readAll(path_);
    if (!rows) return std::unexpected(rows.error());
    if (r >= rows->size()) return noSuchEntry(r, rows->size());
    return toEntry((*rows)[r].row);
}

Result<bool> Store::nameExists(std::string_view name) const {
    auto rows = readAll(path_);
    if (!rows) return std::unexpected(rows.error());
    return std::ranges::any_of(
        *rows, [&](const platform::StoredEntry& s) { return s.row.sm.value_or("") == name; });
}

Status Store::append(const Entry& entry) const {
    auto db = platform::EntryDatabase::open(path_);
    if (!db) return std::unexpected(db.error());
    return db->append(toRow(entry));
}

Status Store::changeAt(std::size_t r, const Entry& entry) const {
    auto target = locate(path_, r);
    if (!target) return std::unexpected(target.error());
    auto& [db, id] = *target;
    return db.change(id, toRow(entry), !entry.reg.has_value());
}

Status Store::deleteAt(std::size_t r) const {
    auto target = locate(path_, r);
    if (!target) return std::unexpected(target.error());
    auto& [db, id] = *target;
    return db.remove(id);
}

Result<std::vector<Entry>> Store::walk(std::size_t rows) const {
    auto stored = readAll(path_);
    if (!stored) return std::unexpected(stored.error());
    std::vector<Entry> entries;
    std::size_t n = std::min(rows, stored->size());
    entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) entries.push_back(toEntry((*stored)[i].row));
    return entries;
}

}  // namespace tessmar::custom
