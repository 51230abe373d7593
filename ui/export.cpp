#include "ui/export.h"

namespace tessmar::ui {

ExportWindow::ExportWindow(forms::Program& program)
    : Window(program, forms::WindowKind::Export, false) {}

}  // namespace tessmar::ui
