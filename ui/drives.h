#pragma once
// The drive hiding window.
#include "ui/window.h"

namespace tessmar::ui {

class DrivesWindow : public Window {
    Q_OBJECT
  public:
    DrivesWindow();
};

}  // namespace tessmar::ui
