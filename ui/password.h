#pragma once
// The password change window.
#include "ui/window.h"

namespace tessmar::ui {

class PasswordWindow : public Window {
    Q_OBJECT
  public:
    PasswordWindow();
};

}  // namespace tessmar::ui
