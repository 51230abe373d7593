#include "ui/main.h"

namespace tessmar::ui {

MainWindow::MainWindow(forms::Program& program) : Window(program, forms::WindowKind::Main, false) {}

}  // namespace tessmar::ui
