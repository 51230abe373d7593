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

Window* makeWindow(forms::WindowKind kind) {
    switch (kind) {
        case forms::WindowKind::Gate:
            return new GateWindow();
        case forms::WindowKind::Main:
            return new MainWindow();
        case forms::WindowKind::Password:
            return new PasswordWindow();
        case forms::WindowKind::Drives:
            return new DrivesWindow();
        case forms::WindowKind::Notice:
            return new NoticeWindow();
        case forms::WindowKind::Editor:
            return new EditorWindow();
        case forms::WindowKind::History:
            return new HistoryWindow();
        case forms::WindowKind::Preview:
            return new PreviewWindow();
        case forms::WindowKind::Export:
            return new ExportWindow();
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

forms::View* Desktop::make(forms::WindowKind kind) {
    Window* window = makeWindow(kind);
    windows_[static_cast<std::size_t>(kind)] = window;
    connect(window, &Window::closed, this, [this, kind] {
        if (program_) program_->closed(kind);
    });
    // Deleted once the event that closed it has been handled, where no form's handler runs.
    connect(window, &QObject::destroyed, this, [this] {
        if (program_) program_->settle();
    });
    return window;
}

void Desktop::show(forms::WindowKind kind, forms::Form& form) {
    Window* made = window(kind);
    if (!made) return;
    made->setForm(&form);
    centre(made);
    bringForward(made);
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
