#pragma once
// The custom entry editor.
#include "ui/window.h"

namespace tessmar::ui {

class EditorWindow : public Window {
    Q_OBJECT
  public:
    EditorWindow();
};

}  // namespace tessmar::ui
