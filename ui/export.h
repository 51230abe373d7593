#pragma once
// The Group Policy export.
#include "ui/window.h"

namespace tessmar::ui {

class ExportWindow : public Window {
    Q_OBJECT
  public:
    ExportWindow();
};

}  // namespace tessmar::ui
