#pragma once
// One program directory per test with a file registry, scripted message boxes, a shell that only
// records and the Qt windows of a whole program; plus the mouse and keyboard moves the window tests
// make.
#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
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
#include "forms/program.h"
#include "platform/entrydb.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/desktop.h"

namespace tessmar::test {

class RecordingShell : public platform::Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        opened.push_back(file);
        return true;
    }
    std::vector<std::filesystem::path> opened;
};

struct Session {
    QTemporaryDir temp;
    std::filesystem::path dir{temp.path().toStdString()};
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    ScriptedMessages messages;
    RecordingShell shell;
    ui::Desktop desktop;
    forms::Program program{{dir, *registry, messages, shell}, desktop};

    Session() { desktop.attach(program); }
    ~Session() {
        for (forms::WindowKind kind : forms::kAllWindows) delete desktop.window(kind);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ui::Window* open(forms::WindowKind kind) {
        program.open(kind);
        return desktop.window(kind);
    }
    ui::Window* window(forms::WindowKind kind) const { return desktop.window(kind); }

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
    T* found = window ? window->findChild<T*>(name) : nullptr;
    if (!found) qWarning("no child %s", qPrintable(name));
    return found;
}

inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
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
// A press at a grid cell where it stands now, without scrolling it into view first: what the
// administrator sees is what is pressed. A hidden row is the fixed row, which the header shows.
inline void pressCellAsShown(QTableWidget* grid, int row, int column,
                             Qt::MouseButton button = Qt::LeftButton) {
    QWidget* target = grid->viewport();
    QPoint at;
    if (grid->isRowHidden(row)) {
        QHeaderView* header = grid->horizontalHeader();
        target = header->viewport();
        at = QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    } else {
        at = grid->visualRect(grid->model()->index(row, column)).center();
    }
    mouse(target, QEvent::MouseButtonPress, button, button, at);
    mouse(target, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
}
// The same, scrolled into view first, as the administrator would scroll to a row below.
inline void pressCell(QTableWidget* grid, int row, int column,
                      Qt::MouseButton button = Qt::LeftButton) {
    if (!grid->isRowHidden(row)) grid->scrollTo(grid->model()->index(row, column));
    pressCellAsShown(grid, row, column, button);
}

}  // namespace tessmar::test
