#include "ui/drives.h"

namespace tessmar::ui {

DrivesWindow::DrivesWindow(forms::Program& program)
    : Window(program, forms::WindowKind::Drives, false) {}

}  // namespace tessmar::ui
