#pragma once
// A picture box: a back colour with a picture drawn over it, stretched to fill the box.
#include <QColor>
#include <QIcon>
#include <QString>
#include <QWidget>

namespace tessmar::ui {

// A picture at the sizes a window manager shows a window's icon, drawn here rather than through
// Qt's SVG icon engine, whose plugin load and renderings at every size would hold up the first
// window's picture.
QIcon iconOf(const QString& picture);

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    // An empty picture path draws the back colour only; a picture that cannot be loaded draws
    // nothing.
    PictureBox(const QString& picture, QWidget* parent = nullptr);

    void setBackColor(const QColor& color);
    QColor backColor() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString picture_;
};

}  // namespace tessmar::ui
