#include "ui/logo.h"

namespace tessmar::ui {

// Enter belongs to the boxes, where it starts a new line.
logo::logo(forms::Program& program) : Window(program, forms::WindowKind::logo, false) {}

}  // namespace tessmar::ui
