#include "ui/history.h"

namespace tessmar::ui {

HistoryWindow::HistoryWindow(forms::Program& program)
    : Window(program, forms::WindowKind::History, false) {}

}  // namespace tessmar::ui
