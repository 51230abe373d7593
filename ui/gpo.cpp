#include "ui/gpo.h"

namespace tessmar::ui {

gpo::gpo(forms::Program& program) : Window(program, forms::WindowKind::gpo, false) {}

}  // namespace tessmar::ui
