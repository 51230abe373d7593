#include "support/session.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

namespace tessmar::test {

Session::Session() {
    desktop.attach(program);
}

FakeView& Session::view(forms::WindowKind kind) const {
    FakeView* open = desktop.view(kind);
    if (!open) throw std::logic_error("no open window " + kindName(kind));
    return *open;
}

void Session::makeReadOnly(const std::string& name) const {
    using std::filesystem::perms;
    std::filesystem::permissions(dir / name,
                                 perms::owner_read | perms::group_read | perms::others_read);
}

void Session::makeUserDat(const std::vector<std::string>& names) const {
    std::vector<platform::EntryRow> rows;
    for (const std::string& name : names) {
        platform::EntryRow row;
        row.sm = name;
        rows.push_back(row);
    }
    makeEntries(rows);
}

void Session::makeEntries(const std::vector<platform::EntryRow>& rows) const {
    {
        SQLite::Database db((dir / "user.dat").string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(platform::EntryDatabase::schema());
        SQLite::Transaction batch(db);
        for (const auto& row : rows) {
            SQLite::Statement insert(
                db,
                "INSERT INTO iexf (sm, hkey1, subkey1, newkey1, ka1, reg) VALUES (?,?,?,?,?,?)");
            const std::optional<std::string>* texts[] = {&row.sm, &row.hkey1, &row.subkey1,
                                                         &row.newkey1, &row.ka1};
            for (int i = 0; i < 5; ++i)
                if (*texts[i]) insert.bind(i + 1, **texts[i]);
            if (row.reg) insert.bind(6, *row.reg);
            insert.exec();
        }
        batch.commit();
    }
    ASSERT_TRUE(platform::EntryDatabase::open(dir / "user.dat").has_value());
}

std::vector<platform::EntryRow> Session::userDat() const {
    std::vector<platform::EntryRow> rows;
    auto db = platform::EntryDatabase::open(dir / "user.dat");
    if (!db) return rows;
    auto all = db->all();
    if (!all) return rows;
    for (auto& stored : *all) rows.push_back(stored.row);
    return rows;
}

std::string Session::lastMessage() const {
    if (messages.shown.empty()) return {};
    const ShownMessage& last = messages.shown.back();
    return last.title + "|" + last.text;
}

std::vector<std::string> Session::shownMessages() const {
    std::vector<std::string> all;
    for (const ShownMessage& m : messages.shown) all.push_back(m.title + "|" + m.text);
    return all;
}

}  // namespace tessmar::test
