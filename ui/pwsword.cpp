// Placeholder until the window is built: opens an empty window.
#include "ui/pwsword.h"

namespace tessmar::ui {

pwsword::pwsword(Context& context) : context_(context) { setAttribute(Qt::WA_DeleteOnClose); }

pwsword* pwsword::open(Context& context) {
    if (!current_) current_ = new pwsword(context);
    current_->show();
    current_->raise();
    current_->activateWindow();
    return current_;
}

pwsword* pwsword::instance() { return current_; }

}  // namespace tessmar::ui
