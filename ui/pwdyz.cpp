#include "ui/pwdyz.h"

#include <QKeyEvent>

namespace tessmar::ui {

// Enter on a focused button presses it, as on Windows.
pwdyz::pwdyz(forms::Program& program) : Window(program, forms::WindowKind::pwdyz, true) {}

void pwdyz::keyPressEvent(QKeyEvent* event) {
    // Esc anywhere in the window, even with the focus on no control, verifies the password.
    if (event->key() == Qt::Key_Escape && form()) {
        form()->key({}, forms::Key::Escape);
        return;
    }
    Window::keyPressEvent(event);
}

}  // namespace tessmar::ui
