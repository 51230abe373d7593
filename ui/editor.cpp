#include "ui/editor.h"

namespace tessmar::ui {

EditorWindow::EditorWindow() : Window(forms::WindowKind::Editor, false) {}

}  // namespace tessmar::ui
