#pragma once
// The logon notice editor: Enter in its boxes starts a new line and never presses a button.
#include "ui/window.h"

namespace tessmar::ui {

class NoticeWindow : public Window {
    Q_OBJECT
  public:
    NoticeWindow();
};

}  // namespace tessmar::ui
