#include "ui/picturebox.h"

#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>
#include <memory>

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

namespace {

// A picture drawn once per size and device pixel ratio: every window that shows it, and every
// repaint of a box (a back colour changing under the pointer), only copies it. The picture is read
// when it is first drawn, not when its box is made.
const QPixmap& drawn(const QString& picture, const QSize& size, qreal ratio) {
    // Never destroyed: pixmaps outlive the application only as long as the program's end.
    static auto& renderers = *new QHash<QString, std::shared_ptr<QSvgRenderer>>;
    static auto& pixmaps = *new QHash<QString, QPixmap>;
    const QString key =
        QStringLiteral("%1@%2x%3@%4").arg(picture).arg(size.width()).arg(size.height()).arg(ratio);
    if (auto found = pixmaps.constFind(key); found != pixmaps.constEnd()) return *found;
    std::shared_ptr<QSvgRenderer>& renderer = renderers[picture];
    if (!renderer) renderer = std::make_shared<QSvgRenderer>(picture);
    QPixmap pixmap;
    if (renderer->isValid() && !size.isEmpty()) {
        pixmap = QPixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return *pixmaps.insert(key, pixmap);
}

}  // namespace

QIcon iconOf(const QString& picture) {
    registerArt();
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64}) icon.addPixmap(drawn(picture, QSize(side, side), 1.0));
    return icon;
}

PictureBox::PictureBox(const QString& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    registerArt();
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
    if (picture_.isEmpty()) return;
    const QPixmap& pixmap = drawn(picture_, size(), devicePixelRatioF());
    if (pixmap.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), pixmap);
}

}  // namespace tessmar::ui
