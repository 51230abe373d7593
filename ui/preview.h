#pragma once
// The preview of an apply.
#include "ui/window.h"

namespace tessmar::ui {

class preview : public Window {
    Q_OBJECT
  public:
    explicit preview(forms::Program& program);
};

}  // namespace tessmar::ui
