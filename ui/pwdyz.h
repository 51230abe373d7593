#pragma once
// The start-up password gate: a dialog frame without close box, kept out of the task bar.
#include "ui/window.h"

namespace tessmar::ui {

class pwdyz : public Window {
    Q_OBJECT
  public:
    explicit pwdyz(forms::Program& program);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tessmar::ui
