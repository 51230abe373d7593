#pragma once
// The Group Policy export.
#include "ui/window.h"

namespace tessmar::ui {

class gpo : public Window {
    Q_OBJECT
  public:
    explicit gpo(forms::Program& program);
};

}  // namespace tessmar::ui
