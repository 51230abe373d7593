#include "ui/main.h"

namespace tessmar::ui {

MainWindow::MainWindow() : Window(forms::WindowKind::Main, false) {}

}  // namespace tessmar::ui
