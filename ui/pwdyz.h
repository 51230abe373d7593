#pragma once
// The start-up password gate: the program's first window; only the administrator password opens the
// main window.
#include <QWidget>

#include "ui/context.h"

class QLineEdit;
class QPushButton;

namespace tessmar::ui {

class pwdyz : public QWidget {
    Q_OBJECT
  public:
    explicit pwdyz(Context& context, QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void OKButton_Click();
    void CancelButton_Click();
    void refuse(const std::string& text);

    Context& context_;
    QLineEdit* Text2_;
    QPushButton* OKButton_;
    QPushButton* CancelButton_;
    bool leaving_ = false;  // the close box is dead; only success and 取消 close the window
};

}  // namespace tessmar::ui
