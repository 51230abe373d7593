#include "ui/qtmessages.h"

#include <QApplication>
#include <QMessageBox>

namespace tessmar::ui {

platform::Answer QtMessageBoxes::show(const std::string& text, const std::string& title,
                                      platform::Buttons buttons) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    // The captions come from Qt's zh_CN translation (确定 / 取消), loaded at start-up.
    box.addButton(QMessageBox::Ok);
    if (buttons == platform::Buttons::OkCancel) box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? platform::Answer::Ok : platform::Answer::Cancel;
}

}  // namespace tessmar::ui
