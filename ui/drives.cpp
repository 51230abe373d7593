// Placeholder until the window is built: opens an empty window.
#include "ui/drives.h"

namespace tessmar::ui {

drives::drives(Context& context) : context_(context) { setAttribute(Qt::WA_DeleteOnClose); }

drives* drives::open(Context& context) {
    if (!current_) current_ = new drives(context);
    current_->show();
    current_->raise();
    current_->activateWindow();
    return current_;
}

drives* drives::instance() { return current_; }

}  // namespace tessmar::ui
