#include "ui/drives.h"

namespace tessmar::ui {

DrivesWindow::DrivesWindow() : Window(forms::WindowKind::Drives, false) {}

}  // namespace tessmar::ui
