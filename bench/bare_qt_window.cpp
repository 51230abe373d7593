// The smallest Qt Widgets program with a window, to hold the Qt program's start against: a window
// with a text box that has the focus and a button, as the gate has.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("空白窗口"));
    window.resize(320, 110);
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(10, 10, 200, 24);
    auto* button = new QPushButton(QStringLiteral("确定"), &window);
    button->setGeometry(10, 44, 80, 26);
    window.show();
    edit->setFocus();
    return QApplication::exec();
}
