#pragma once
// The custom entry editor: maintains the administrator's own registry entries in user.dat.
#include <QPointer>
#include <QWidget>

#include "ui/context.h"

namespace tessmar::ui {

class usersys : public QWidget {
    Q_OBJECT
public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static usersys* open(Context& context);
    // The open window, or nullptr.
    static usersys* instance();

private:
    explicit usersys(Context& context);
    Context& context_;
    static inline QPointer<usersys> current_;
};

}  // namespace tessmar::ui
