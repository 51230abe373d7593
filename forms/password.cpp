#include "forms/password.h"

#include "forms/names.h"
#include "settings/record.h"
#include "settings/vorn.h"

namespace tessmar::forms {
using namespace names::password;

PasswordForm::PasswordForm(Program& program, View& view) : program_(program), view_(view) {}

void PasswordForm::click(Id control) {
    if (control == Command1[0])
        confirm();
    else if (control == Command1[1])
        view_.close();
}

bool PasswordForm::key(Id control, Key key) {
    if (key != Key::Enter) return false;
    if (control == Text1[0]) {
        view_.setFocus(Text1[1]);
        return true;
    }
    if (control == Text1[1]) {
        view_.setFocus(Command1[0]);
        return true;
    }
    return false;
}

void PasswordForm::tell(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

void PasswordForm::confirm() {
    const std::string entered = view_.text(Text1[0]);
    const std::string again = view_.text(Text1[1]);
    if (entered.empty() || again.empty()) {
        tell("口令不为空!");
        // The upper empty box ends with the focus.
        if (again.empty()) view_.setFocus(Text1[1]);
        if (entered.empty()) view_.setFocus(Text1[0]);
        return;
    }
    if (settings::trimBlanks(entered) != settings::trimBlanks(again)) {
        tell("口令不一致!");
        view_.setText(Text1[1], "");
        view_.setFocus(Text1[1]);
        return;
    }
    const settings::SettingsFile file(program_.context().dir);
    if (!file.exists()) {
        tell("系统设置文件vorn.ini不存在，口令未修改！");
        return;
    }
    if (auto changed = file.changePassword(settings::trimBlanks(again)); !changed) {
        tell("口令未修改：" + changed.error().message);
        return;
    }
    tell("口令修改成功!");
    view_.close();
}

}  // namespace tessmar::forms
