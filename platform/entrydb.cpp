#include "platform/entrydb.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <array>
#include <limits>
#include <string_view>

#include "platform/files.h"

namespace tessmar::platform {

namespace {

constexpr std::array<const char*, 6> kColumns{"sm", "hkey1", "subkey1", "newkey1", "ka1", "reg"};

// A lock held by another program is waited for this long before the operation gives up.
constexpr int kBusyTimeoutMs = 200;

Error toError(const std::string& name, const SQLite::Exception& e) {
    switch (e.getErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Error{"数据库 " + name + " 正被其他程序占用，请稍后再试"};
        case SQLITE_NOTADB:
            return Error{name + " 不是有效的数据库文件"};
        case SQLITE_CORRUPT:
            return Error{"数据库 " + name + " 已损坏"};
        case SQLITE_READONLY:
            return Error{"数据库 " + name + " 是只读的，无法修改"};
        case SQLITE_CANTOPEN:
            return Error{"无法打开数据库 " + name};
        case SQLITE_FULL:
            return Error{"磁盘已满，无法写入数据库 " + name};
        default:
            return Error{"数据库 " + name + " 操作失败：" + e.what()};
    }
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::optional<std::string> textField(const SQLite::Column& c) {
    if (c.isNull()) return std::nullopt;
    return c.getString();
}

// reg is a 16-bit code; anything a hand-made file holds beyond that reads as unset.
std::optional<std::int16_t> regField(const SQLite::Column& c) {
    if (!c.isInteger()) return std::nullopt;
    std::int64_t v = c.getInt64();
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

void bindText(SQLite::Statement& st, int index, const std::optional<std::string>& value) {
    if (value)
        st.bind(index, *value);
    else
        st.bind(index);
}

void bindReg(SQLite::Statement& st, int index, std::optional<std::int16_t> value) {
    if (value)
        st.bind(index, static_cast<int>(*value));
    else
        st.bind(index);
}

}  // namespace

struct EntryDatabase::Impl {
    std::string name;
    SQLite::Database db;

    Impl(std::string n, const std::filesystem::path& file)
        : name(std::move(n)), db(file, SQLite::OPEN_READWRITE, kBusyTimeoutMs) {}

    template <class F>
    auto guarded(F&& f) -> decltype(f()) {
        try {
            return f();
        } catch (const SQLite::Exception& e) {
            return std::unexpected(toError(name, e));
        } catch (const std::exception& e) {
            return fail("数据库 " + name + " 操作失败：" + e.what());
        }
    }

    void bindFields(SQLite::Statement& st, const EntryRow& row) {
        bindText(st, 1, row.sm);
        bindText(st, 2, row.hkey1);
        bindText(st, 3, row.subkey1);
        bindText(st, 4, row.newkey1);
        bindText(st, 5, row.ka1);
    }
};

EntryDatabase::EntryDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
EntryDatabase::~EntryDatabase() = default;
EntryDatabase::EntryDatabase(EntryDatabase&&) noexcept = default;
EntryDatabase& EntryDatabase::operator=(EntryDatabase&&) noexcept = default;

Result<EntryDatabase> EntryDatabase::open(const std::filesystem::path& file) {
    const std::string name = pathText(file.filename());
    // Checked first so that the message is plain; without OPEN_CREATE SQLite would refuse anyway.
    if (!fileExists(file)) return fail("找不到数据库文件 " + name);
    try {
        auto impl = std::make_unique<Impl>(name, file);
        // The first read of the schema is what tells a database from any other file, or finds it
        // locked.
        SQLite::Statement info(impl->db, "PRAGMA table_info(iexf)");
        std::vector<std::string> present;
        while (info.executeStep()) present.push_back(info.getColumn("name").getString());
        if (present.empty()) return fail("数据库 " + name + " 中没有表 iexf");
        std::string missing;
        for (const char* col : kColumns) {
            bool found = false;
            for (const auto& p : present) found = found || sameName(p, col);
            if (!found) missing += missing.empty() ? col : std::string("、") + col;
        }
        if (!missing.empty()) return fail("数据库 " + name + " 的表 iexf 缺少字段 " + missing);
        return EntryDatabase(std::move(impl));
    } catch (const SQLite::Exception& e) {
        return std::unexpected(toError(name, e));
    } catch (const std::exception& e) {
        return fail("无法打开数据库 " + name + "：" + e.what());
    }
}

Result<std::vector<StoredEntry>> EntryDatabase::all() {
    return impl_->guarded([&]() -> Result<std::vector<StoredEntry>> {
        // The aliases fix the result names, which would otherwise follow the table's own spelling.
        SQLite::Statement st(impl_->db,
                             "SELECT rowid AS id, sm AS sm, hkey1 AS hkey1, subkey1 AS subkey1, "
                             "newkey1 AS newkey1, ka1 AS ka1, reg AS reg FROM iexf ORDER BY rowid");
        std::vector<StoredEntry> out;
        while (st.executeStep()) {
            StoredEntry e;
            e.id = st.getColumn("id").getInt64();
            e.row.sm = textField(st.getColumn("sm"));
            e.row.hkey1 = textField(st.getColumn("hkey1"));
            e.row.subkey1 = textField(st.getColumn("subkey1"));
            e.row.newkey1 = textField(st.getColumn("newkey1"));
            e.row.ka1 = textField(st.getColumn("ka1"));
            e.row.reg = regField(st.getColumn("reg"));
            out.push_back(std::move(e));
        }
        return out;
    });
}

Result<std::size_t> EntryDatabase::count() {
    return impl_->guarded([&]() -> Result<std::size_t> {
        SQLite::Statement st(impl_->db, "SELECT count(*) FROM iexf");
        st.executeStep();
        return static_cast<std::size_t>(st.getColumn(0).getInt64());
    });
}

Status EntryDatabase::append(const EntryRow& row) {
    return impl_->guarded([&]() -> Status {
        // The rowid is given explicitly: SQLite would pick a free one anywhere once the largest is
        // taken, and the new record must come last.
        SQLite::Statement st(
            impl_->db,
            "INSERT INTO iexf (rowid, sm, hkey1, subkey1, newkey1, ka1, reg) "
            "VALUES ((SELECT ifnull(max(rowid), 0) + 1 FROM iexf), ?, ?, ?, ?, ?, ?)");
        impl_->bindFields(st, row);
        bindReg(st, 6, row.reg);
        st.exec();
        return {};
    });
}

Status EntryDatabase::change(std::int64_t id, const EntryRow& row, bool keepReg) {
    return impl_->guarded([&]() -> Status {
        SQLite::Statement st(impl_->db, keepReg
                                            ? "UPDATE iexf SET sm = ?1, hkey1 = ?2, subkey1 = ?3, "
                                              "newkey1 = ?4, ka1 = ?5 WHERE rowid = ?7"
                                            : "UPDATE iexf SET sm = ?1, hkey1 = ?2, subkey1 = ?3, "
                                              "newkey1 = ?4, ka1 = ?5, reg = ?6 WHERE rowid = ?7");
        impl_->bindFields(st, row);
        if (!keepReg) bindReg(st, 6, row.reg);
        st.bind(7, static_cast<int64_t>(id));
        if (st.exec() == 0) return fail("要修改的项目在数据库 " + impl_->name + " 中已不存在");
        return {};
    });
}

Status EntryDatabase::remove(std::int64_t id) {
    return impl_->guarded([&]() -> Status {
        SQLite::Statement st(impl_->db, "DELETE FROM iexf WHERE rowid = ?");
        st.bind(1, static_cast<int64_t>(id));
        if (st.exec() == 0) return fail("要删除的项目在数据库 " + impl_->name + " 中已不存在");
        return {};
    });
}

const char* EntryDatabase::schema() {
    return "CREATE TABLE iexf (sm TEXT, hkey1 TEXT, subkey1 TEXT, newkey1 TEXT, ka1 TEXT, reg "
           "INTEGER)";
}

}  // namespace tessmar::platform
