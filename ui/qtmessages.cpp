#include "ui/qtmessages.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

namespace tessmar::ui {

void installQtTranslation() {
    // Goes with the application that it was installed in.
    static QPointer<QTranslator> installed;
    if (installed || !qApp) return;
    installed = new QTranslator(qApp);
    if (installed->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(installed);
}

platform::Answer QtMessageBoxes::show(const std::string& text, const std::string& title,
                                      platform::Buttons buttons) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    // The captions come from Qt's zh_CN translation (确定 / 取消).
    installQtTranslation();
    box.addButton(QMessageBox::Ok);
    if (buttons == platform::Buttons::OkCancel) box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? platform::Answer::Ok : platform::Answer::Cancel;
}

}  // namespace tessmar::ui
