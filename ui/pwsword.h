#pragma once
// The password change window.
#include "ui/window.h"

namespace tessmar::ui {

class pwsword : public Window {
    Q_OBJECT
  public:
    explicit pwsword(forms::Program& program);
};

}  // namespace tessmar::ui
