#include "ui/notice.h"

namespace tessmar::ui {

// Enter belongs to the boxes, where it starts a new line.
NoticeWindow::NoticeWindow() : Window(forms::WindowKind::Notice, false) {}

}  // namespace tessmar::ui
