#include "ui/password.h"

namespace tessmar::ui {

// Enter on a focused button presses it, as on Windows.
PasswordWindow::PasswordWindow() : Window(forms::WindowKind::Password, true) {}

}  // namespace tessmar::ui
