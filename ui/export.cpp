#include "ui/export.h"

namespace tessmar::ui {

ExportWindow::ExportWindow() : Window(forms::WindowKind::Export, false) {}

}  // namespace tessmar::ui
