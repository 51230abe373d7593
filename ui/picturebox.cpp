#include "ui/picturebox.h"

#include <QPainter>
#include <QPalette>

// The pictures live in this static library, whose resource object nothing else would link in; the
// macro must be used outside any namespace.
static void registerArt() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)registered;
}

namespace tessmar::ui {

PictureBox::PictureBox(const QString& picture, QWidget* parent) : QWidget(parent) {
    registerArt();
    if (!picture.isEmpty()) renderer_.load(picture);
    setAutoFillBackground(true);
}

void PictureBox::setBackColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
}

QColor PictureBox::backColor() const {
    return palette().color(QPalette::Window);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (!renderer_.isValid()) return;
    QPainter painter(this);
    renderer_.render(&painter, QRectF(rect()));
}

}  // namespace tessmar::ui
