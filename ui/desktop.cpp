#include "ui/desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ui/drives.h"
#include "ui/editor.h"
#include "ui/export.h"
#include "ui/gate.h"
#include "ui/history.h"
#include "ui/main.h"
#include "ui/notice.h"
#include "ui/password.h"
#include "ui/preview.h"

namespace tessmar::ui {
namespace {

Window* make(forms::Program& program, forms::WindowKind kind) {
    switch (kind) {
        case forms::WindowKind::Gate:
            return new GateWindow(program);
        case forms::WindowKind::Main:
            return new MainWindow(program);
        case forms::WindowKind::Password:
            return new PasswordWindow(program);
        case forms::WindowKind::Drives:
            return new DrivesWindow(program);
        case forms::WindowKind::Notice:
            return new NoticeWindow(program);
        case forms::WindowKind::Editor:
            return new EditorWindow(program);
        case forms::WindowKind::History:
            return new HistoryWindow(program);
        case forms::WindowKind::Preview:
            return new PreviewWindow(program);
        case forms::WindowKind::Export:
            return new ExportWindow(program);
    }
    return nullptr;
}

void centre(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const forms::Point at = forms::centred(area.x(), area.y(), area.width(), area.height(),
                                           window->width(), window->height());
    window->move(at.x, at.y);
}

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void Desktop::show(forms::WindowKind kind) {
    Window* window = make(*program_, kind);
    windows_[static_cast<std::size_t>(kind)] = window;
    window->setForm(program_->makeForm(kind, *window));
    centre(window);
    bringForward(window);
    // Loaded once it shows, so that any message appears over the window.
    window->form()->load();
}

void Desktop::raise(forms::WindowKind kind) {
    if (Window* open = window(kind)) bringForward(open);
}

void Desktop::quit() {
    QCoreApplication::quit();
}

Window* Desktop::window(forms::WindowKind kind) const {
    return windows_[static_cast<std::size_t>(kind)];
}

}  // namespace tessmar::ui
