#pragma once
// The drive hiding window.
#include "ui/window.h"

namespace tessmar::ui {

class drives : public Window {
    Q_OBJECT
  public:
    explicit drives(forms::Program& program);
};

}  // namespace tessmar::ui
