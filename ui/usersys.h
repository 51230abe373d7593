#pragma once
// The custom entry editor.
#include "ui/window.h"

namespace tessmar::ui {

class usersys : public Window {
    Q_OBJECT
  public:
    explicit usersys(forms::Program& program);
};

}  // namespace tessmar::ui
