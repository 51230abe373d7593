#pragma once
// A program directory of its own for each side window test: a file registry, scripted message
// boxes, and helpers for the files the windows keep there.
#include <SQLiteCpp/SQLiteCpp.h>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/scripted_messages.h"
#include "platform/entrydb.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/context.h"

namespace tessmar::test {

class NoShell : public platform::Shell {
  public:
    bool openMaximised(const std::filesystem::path&) override { return true; }
};

struct SideFixture {
    QTemporaryDir temp;
    std::filesystem::path dir{temp.path().toStdString()};
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    ScriptedMessages messages;
    NoShell shell;
    ui::Context context{dir, *registry, messages, shell, "C:\\WINDOWS"};

    std::filesystem::path path(const std::string& name) const { return dir / name; }

    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary | std::ios::trunc) << bytes;
    }
    void makeReadOnly(const std::string& name) const {
        std::filesystem::permissions(path(name), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
    }

    // user.dat as shipped: table iexf, holding the given records in this order.
    void makeUserDat(const std::vector<platform::EntryRow>& rows = {}) const {
        {
            SQLite::Database db(path("user.dat").string(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(platform::EntryDatabase::schema());
        }
        auto db = platform::EntryDatabase::open(path("user.dat"));
        QVERIFY(db.has_value());
        for (const auto& row : rows) QVERIFY(db->append(row).has_value());
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

// Lets closed windows finish deleting themselves.
inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

template <class Window>
void closeOpenWindow() {
    if (Window* window = Window::instance()) window->close();
    settle();
}

template <class T = QWidget>
T* child(QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found) qWarning("no child %s", qPrintable(name));
    return found;
}

// Makes the window the active one so that focus moves can be watched.
inline bool activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

}  // namespace tessmar::test
