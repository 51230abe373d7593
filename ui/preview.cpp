#include "ui/preview.h"

namespace tessmar::ui {

preview::preview(forms::Program& program) : Window(program, forms::WindowKind::preview, false) {}

}  // namespace tessmar::ui
