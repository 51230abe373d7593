#include "ui/history.h"

namespace tessmar::ui {

HistoryWindow::HistoryWindow() : Window(forms::WindowKind::History, false) {}

}  // namespace tessmar::ui
