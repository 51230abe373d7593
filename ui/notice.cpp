#include "ui/notice.h"

namespace tessmar::ui {

// Enter belongs to the boxes, where it starts a new line.
NoticeWindow::NoticeWindow(forms::Program& program)
    : Window(program, forms::WindowKind::Notice, false) {}

}  // namespace tessmar::ui
