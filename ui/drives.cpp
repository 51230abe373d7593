#include "ui/drives.h"

namespace tessmar::ui {

drives::drives(forms::Program& program) : Window(program, forms::WindowKind::drives, false) {}

}  // namespace tessmar::ui
