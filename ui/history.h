#pragma once
// The history of the applies, with their restore.
#include "ui/window.h"

namespace tessmar::ui {

class history : public Window {
    Q_OBJECT
  public:
    explicit history(forms::Program& program);
};

}  // namespace tessmar::ui
