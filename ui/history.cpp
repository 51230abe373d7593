#include "ui/history.h"

namespace tessmar::ui {

history::history(forms::Program& program) : Window(program, forms::WindowKind::history, false) {}

}  // namespace tessmar::ui
