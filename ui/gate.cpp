#include "ui/gate.h"

#include <QKeyEvent>

namespace tessmar::ui {

// Enter on a focused button presses it, as on Windows.
GateWindow::GateWindow() : Window(forms::WindowKind::Gate, true) {}

void GateWindow::keyPressEvent(QKeyEvent* event) {
    // Esc anywhere in the window, even with the focus on no control, verifies the password.
    if (event->key() == Qt::Key_Escape && form()) {
        form()->key({}, forms::Key::Escape);
        return;
    }
    Window::keyPressEvent(event);
}

}  // namespace tessmar::ui
