#pragma once
// Layout is given in twips (15 to a pixel at 96 dpi) and fonts by their Chinese Windows names;
// these helpers turn both into what Qt takes, falling back to an installed CJK font.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "forms/layout.h"

namespace tessmar::ui {

constexpr int twips(int t) {
    return (t >= 0 ? t + 7 : t - 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// A font of the controls tables.
QFont fontOf(const forms::Font& font);

// The face where installed; otherwise the first CJK font the system has.
QFont songti(double points, bool bold = false);

// "background-color: rgb(r,g,b)" and the like for style sheets.
QString rgb(int r, int g, int b);

}  // namespace tessmar::ui
