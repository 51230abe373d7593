#pragma once
// The password change window.
#include <QPointer>
#include <QWidget>

#include "ui/context.h"

namespace tessmar::ui {

class pwsword : public QWidget {
    Q_OBJECT
public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static pwsword* open(Context& context);
    // The open window, or nullptr.
    static pwsword* instance();

private:
    explicit pwsword(Context& context);
    Context& context_;
    static inline QPointer<pwsword> current_;
};

}  // namespace tessmar::ui
