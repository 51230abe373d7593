#pragma once
// One program directory per test with a file registry, scripted message boxes and a shell that only
// records; plus the mouse and keyboard moves the window tests make.
#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QTableWidget>
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

class RecordingShell : public platform::Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        opened.push_back(file);
        return true;
    }
    std::vector<std::filesystem::path> opened;
};

// Deletes every window, so that none outlives the context it refers to.
inline void closeAllWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) windows << window;
    // A window may own others and take them with it.
    for (const QPointer<QWidget>& window : windows) delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Session {
    QTemporaryDir temp;
    std::filesystem::path dir{temp.path().toStdString()};
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    ScriptedMessages messages;
    RecordingShell shell;
    ui::Context context{dir, *registry, messages, shell, "C:\\WINDOWS", 0};

    ~Session() { closeAllWindows(); }

    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    std::string read(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << bytes;
    }
    // user.dat with one entry per name, in this order.
    void makeUserDat(const std::vector<std::string>& names) const {
        {
            SQLite::Database db((dir / "user.dat").string(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(platform::EntryDatabase::schema());
            SQLite::Transaction batch(db);
            for (const std::string& name : names) {
                SQLite::Statement insert(db, "INSERT INTO iexf (sm) VALUES (?)");
                insert.bind(1, name);
                insert.exec();
            }
            batch.commit();
        }
        QVERIFY(platform::EntryDatabase::open(dir / "user.dat").has_value());
    }
    // The last message box shown, as "title|text".
    QString lastMessage() const {
        if (messages.shown.empty()) return {};
        const ShownMessage& last = messages.shown.back();
        return QString::fromStdString(last.title + "|" + last.text);
    }
};

template <class T = QWidget>
T* child(const QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found) qWarning("no child %s", qPrintable(name));
    return found;
}

inline bool activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// A mouse event delivered as the window system would, to the widget under the pointer.
inline void mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                  QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = widget->rect().center();
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
inline void moveOver(QWidget* widget) {
    mouse(widget, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
}
inline void press(QWidget* widget, Qt::MouseButton button) {
    mouse(widget, QEvent::MouseButtonPress, button, button);
    mouse(widget, QEvent::MouseButtonRelease, button, Qt::NoButton);
}
// A press on a grid cell, scrolled into view first; a hidden row is the grid's fixed row, which
// its header shows.
inline void pressCell(QTableWidget* grid, int row, int column,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::NoButton) {
    QWidget* target = grid->viewport();
    QPoint at;
    if (grid->isRowHidden(row)) {
        QHeaderView* header = grid->horizontalHeader();
        target = header->viewport();
        at = QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    } else {
        const QModelIndex index = grid->model()->index(row, column);
        grid->scrollTo(index);
        at = grid->visualRect(index).center();
    }
    mouse(target, QEvent::MouseButtonPress, button, held ? held : button, at);
    mouse(target, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
}

}  // namespace tessmar::test
