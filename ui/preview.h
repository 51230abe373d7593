#pragma once
// The preview of an apply.
#include "ui/window.h"

namespace tessmar::ui {

class PreviewWindow : public Window {
    Q_OBJECT
  public:
    PreviewWindow();
};

}  // namespace tessmar::ui
