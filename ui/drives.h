#pragma once
// The drive hiding window: which of drives A: to O: Explorer hides, kept in drives.ini.
#include <QPointer>
#include <QWidget>

#include "ui/context.h"

namespace tessmar::ui {

class drives : public QWidget {
    Q_OBJECT
public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static drives* open(Context& context);
    // The open window, or nullptr.
    static drives* instance();

private:
    explicit drives(Context& context);
    Context& context_;
    static inline QPointer<drives> current_;
};

}  // namespace tessmar::ui
