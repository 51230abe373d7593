#include "ui/desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ui/drives.h"
#include "ui/gpo.h"
#include "ui/history.h"
#include "ui/logo.h"
#include "ui/main.h"
#include "ui/preview.h"
#include "ui/pwdyz.h"
#include "ui/pwsword.h"
#include "ui/usersys.h"

namespace tessmar::ui {
namespace {

Window* make(forms::Program& program, forms::WindowKind kind) {
    switch (kind) {
        case forms::WindowKind::pwdyz:
            return new pwdyz(program);
        case forms::WindowKind::main:
            return new main(program);
        case forms::WindowKind::pwsword:
            return new pwsword(program);
        case forms::WindowKind::drives:
            return new drives(program);
        case forms::WindowKind::logo:
            return new logo(program);
        case forms::WindowKind::usersys:
            return new usersys(program);
        case forms::WindowKind::history:
            return new history(program);
        case forms::WindowKind::preview:
            return new preview(program);
        case forms::WindowKind::gpo:
            return new gpo(program);
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
