#include "ui/desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace tessmar::ui {
namespace {

void centre(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const forms::Point at = forms::centred(area.x(), area.y(), area.width(), area.height(),
                                           window->width(), window->height());
    window->move(at.x, at.y);
}

void bringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

forms::View* Desktop::make(forms::WindowKind kind) {
    auto* window = new Window(kind);
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
