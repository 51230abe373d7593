#pragma once
// The start-up password gate: a dialog frame without close box, kept out of the task bar.
#include "ui/window.h"

namespace tessmar::ui {

class GateWindow : public Window {
    Q_OBJECT
  public:
    GateWindow();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tessmar::ui
