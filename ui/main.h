#pragma once
// The main window: a fixed window without title bar; its controls and rules come from the forms.
#include "ui/window.h"

namespace tessmar::ui {

class MainWindow : public Window {
    Q_OBJECT
  public:
    MainWindow();
};

}  // namespace tessmar::ui
