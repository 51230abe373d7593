#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include "platform/codepage_win.h"
#include "platform/messages.h"

namespace tessmar::platform {

namespace {

std::wstring wide(std::string_view utf8) {
    return utf8ToWide(utf8);
}

class SystemMessageBoxes final : public MessageBoxes {
  public:
    Answer show(const std::string& text, const std::string& title, Buttons buttons) override {
        HWND owner = GetActiveWindow();
        UINT style = MB_ICONEXCLAMATION | (buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK);
        // Without an active window the box still has to keep the program's other windows from
        // taking input while it waits.
        if (owner == nullptr) style |= MB_TASKMODAL;
        const int answer = MessageBoxW(owner, wide(text).c_str(), wide(title).c_str(), style);
        // A box that could not be shown (answer 0) must not be taken for consent.
        if (buttons == Buttons::Ok) return Answer::Ok;
        return answer == IDOK ? Answer::Ok : Answer::Cancel;
    }
};

}  // namespace

std::unique_ptr<MessageBoxes> makeSystemMessageBoxes() {
    return std::make_unique<SystemMessageBoxes>();
}

}  // namespace tessmar::platform
