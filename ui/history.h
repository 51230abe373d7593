#pragma once
// The history of the applies, with their restore.
#include "ui/window.h"

namespace tessmar::ui {

class HistoryWindow : public Window {
    Q_OBJECT
  public:
    HistoryWindow();
};

}  // namespace tessmar::ui
