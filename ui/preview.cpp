#include "ui/preview.h"

namespace tessmar::ui {

PreviewWindow::PreviewWindow(forms::Program& program)
    : Window(program, forms::WindowKind::Preview, false) {}

}  // namespace tessmar::ui
