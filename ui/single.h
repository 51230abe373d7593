#pragma once
// Every window of the program exists at most once: opening it again brings the open one forward.
#include <QPointer>
#include <QWidget>

namespace tessmar::ui {

inline void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// The window held in current, brought forward; when none is open, make() creates it, and start(w)
// runs once it shows (loading its file, say), so that any message appears over the window.
template <class W, class Make, class Start>
W* openSingle(QPointer<W>& current, Make make, Start start) {
    if (current) {
        bringForward(current);
        return current;
    }
    current = make();
    bringForward(current);
    start(current.data());
    return current;
}

template <class W, class Make>
W* openSingle(QPointer<W>& current, Make make) {
    return openSingle(current, make, [](W*) {});
}

}  // namespace tessmar::ui
