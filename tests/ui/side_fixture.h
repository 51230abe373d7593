#pragma once
// What the side window tests add to a Session: read-only files, user.dat with whole entries, and
// letting closed windows finish deleting themselves.
#include <filesystem>
#include <string>
#include <vector>

#include "support/session.h"

namespace tessmar::test {

struct SideFixture : Session {
    std::filesystem::path path(const std::string& name) const { return dir / name; }

    // Read-only as the attribute makes a file on Windows.
    void makeReadOnly(const std::string& name) const {
        using std::filesystem::perms;
        std::filesystem::permissions(path(name),
                                     perms::owner_read | perms::group_read | perms::others_read);
    }

    // user.dat as shipped, holding these records in this order.
    void makeEntries(const std::vector<platform::EntryRow>& rows) const {
        makeUserDat({});
        SQLite::Database db(path("user.dat").string(), SQLite::OPEN_READWRITE);
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
    std::vector<platform::EntryRow> userDat() const {
        std::vector<platform::EntryRow> rows;
        auto db = platform::EntryDatabase::open(path("user.dat"));
        if (!db) return rows;
        auto all = db->all();
        if (!all) return rows;
        for (auto& stored : *all) rows.push_back(stored.row);
        return rows;
    }
};

inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

template <class Window>
void closeOpenWindow() {
    if (Window* window = Window::instance()) window->close();
    settle();
}

}  // namespace tessmar::test
