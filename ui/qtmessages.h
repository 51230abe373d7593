#pragma once
// Message boxes as real Qt dialogs: warning icon, the given title, 确定 / 取消 buttons.
#include <QPointer>
#include <QWidget>

#include "platform/messages.h"

namespace tessmar::ui {

// Installs Qt's own zh_CN translation (确定 / 取消 on message boxes, the edit menus), once: at the
// first message box, or a moment after the first window has painted.
void installQtTranslation();

class QtMessageBoxes : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string& title,
                          platform::Buttons buttons) override;
};

}  // namespace tessmar::ui
