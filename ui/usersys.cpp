#include "ui/usersys.h"

namespace tessmar::ui {

usersys::usersys(forms::Program& program) : Window(program, forms::WindowKind::usersys, false) {}

}  // namespace tessmar::ui
