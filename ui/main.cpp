#include "ui/main.h"

namespace tessmar::ui {

main::main(forms::Program& program) : Window(program, forms::WindowKind::main, false) {}

}  // namespace tessmar::ui
