#pragma once
// Message boxes as real Qt dialogs: warning icon, the given title, 确定 / 取消 buttons.
#include <QPointer>
#include <QWidget>

#include "platform/messages.h"

namespace tessmar::ui {

class QtMessageBoxes : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string& title,
                          platform::Buttons buttons) override;
};

}  // namespace tessmar::ui
