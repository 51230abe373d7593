#include "ui/pwsword.h"

namespace tessmar::ui {

// Enter on a focused button presses it, as on Windows.
pwsword::pwsword(forms::Program& program) : Window(program, forms::WindowKind::pwsword, true) {}

}  // namespace tessmar::ui
