#include "ui/editor.h"

namespace tessmar::ui {

EditorWindow::EditorWindow(forms::Program& program)
    : Window(program, forms::WindowKind::Editor, false) {}

}  // namespace tessmar::ui
