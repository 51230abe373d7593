// Placeholder until the window is built: opens an empty window.
#include "ui/logo.h"

namespace tessmar::ui {

logo::logo(Context& context) : context_(context) { setAttribute(Qt::WA_DeleteOnClose); }

logo* logo::open(Context& context) {
    if (!current_) current_ = new logo(context);
    current_->show();
    current_->raise();
    current_->activateWindow();
    return current_;
}

logo* logo::instance() { return current_; }

}  // namespace tessmar::ui
