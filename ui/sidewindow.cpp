#include "ui/sidewindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/style.h"

namespace tessmar::ui {

void makeFixedWindow(QWidget* window, int widthTwips, int heightTwips, const QString& title) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(twips(widthTwips), twips(heightTwips));
    window->setWindowTitle(title);
    window->setFont(songti(9));
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

QFrame* makeFrame(QWidget* parent, const QString& name, int left, int top, int width, int height) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(twipsRect(left, top, width, height));
    return frame;
}

QString lightGreenButtonStyle() {
    return QStringLiteral(
               "QPushButton { background-color: %1; border: 2px outset %2; }"
               "QPushButton:pressed { border-style: inset; }"
               "QPushButton:focus { border-color: %3; }")
        .arg(rgb(192, 255, 192), rgb(160, 200, 160), rgb(64, 128, 64));
}

}  // namespace tessmar::ui
