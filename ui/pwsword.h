#pragma once
// The password change window.
#include <QPointer>
#include <QWidget>
#include <array>

#include "ui/context.h"

class QLineEdit;
class QPushButton;

namespace tessmar::ui {

class pwsword : public QWidget {
    Q_OBJECT
  public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static pwsword* open(Context& context);
    // The open window, or nullptr.
    static pwsword* instance();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit pwsword(Context& context);
    void Command1_Click(int index);
    void tell(const std::string& text);

    Context& context_;
    static inline QPointer<pwsword> current_;
    std::array<QLineEdit*, 2> Text1_{};
    std::array<QPushButton*, 2> Command1_{};
};

}  // namespace tessmar::ui
