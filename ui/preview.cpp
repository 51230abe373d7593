#include "ui/preview.h"

namespace tessmar::ui {

PreviewWindow::PreviewWindow() : Window(forms::WindowKind::Preview, false) {}

}  // namespace tessmar::ui
