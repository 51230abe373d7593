#pragma once
// The password change window.
#include "ui/window.h"

namespace tessmar::ui {

class PasswordWindow : public Window {
    Q_OBJECT
  public:
    explicit PasswordWindow(forms::Program& program);
};

}  // namespace tessmar::ui
