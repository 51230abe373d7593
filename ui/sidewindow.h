#pragma once
// What the side windows (drives, logo, usersys) share: a fixed, centred, modeless top-level window
// and the widgets they place at twips positions.
#include <QString>

class QWidget;
class QFrame;

namespace tessmar::ui {

// A top-level window with a fixed client size in twips, a single border, a close box and no
// minimise or maximise button, deleted when it closes.
void makeFixedWindow(QWidget* window, int widthTwips, int heightTwips, const QString& title);

// Moves the window to the middle of the screen it is on.
void centreOnScreen(QWidget* window);

// A frame without caption at the given twips, in the look of a grouping frame.
QFrame* makeFrame(QWidget* parent, const QString& name, int left, int top, int width, int height);

// The light green of the confirming buttons.
QString lightGreenButtonStyle();

}  // namespace tessmar::ui
