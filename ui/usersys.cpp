// Placeholder until the window is built: opens an empty window.
#include "ui/usersys.h"

namespace tessmar::ui {

usersys::usersys(Context& context) : context_(context) { setAttribute(Qt::WA_DeleteOnClose); }

usersys* usersys::open(Context& context) {
    if (!current_) current_ = new usersys(context);
    current_->show();
    current_->raise();
    current_->activateWindow();
    return current_;
}

usersys* usersys::instance() { return current_; }

}  // namespace tessmar::ui
