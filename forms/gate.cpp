#include "forms/gate.h"

#include "forms/names.h"
#include "platform/exposure.h"
#include "platform/paths.h"
#include "settings/vorn.h"

namespace tessmar::forms {
using namespace names::gate;

namespace {
constexpr const char* kOfferToRestrict =
    "\n\n按“确定”，现在就把这个文件夹设为只有系统员能够改动（Administrators 和 SYSTEM "
    "完全控制，Users 只能读取和运行）；按“取消”，保持原样。";
}  // namespace

GateForm::GateForm(Program& program, View& view) : program_(program), view_(view) {}

void GateForm::load() {
    const Context& context = program_.context();
    auto warning = platform::exposureWarning(context.dir);
    if (!warning) return;
    // Refused, the folder stays as it is and the warning comes again at the next start.
    if (context.messages.show(*warning + kOfferToRestrict, platform::kGateTitle,
                              platform::Buttons::OkCancel) != platform::Answer::Ok)
        return;
    auto restricted = platform::restrictFolder(context.dir);
    context.messages.show(restricted ? *restricted
                                     : "没能改好文件夹的权限：" + restricted.error().message +
                                           "\n下次启动时将再次提醒。",
                          platform::kGateTitle, platform::Buttons::Ok);
}

void GateForm::click(Id control) {
    if (control == OKButton) {
        OKButton_Click();
    } else if (control == CancelButton) {
        view_.close();
        program_.desktop().quit();
    }
}

bool GateForm::key(Id control, Key key) {
    // 确定 is the window's cancel button: Esc verifies the password instead of leaving.
    if (key == Key::Escape) {
        OKButton_Click();
        return true;
    }
    if (control == Text2 && key == Key::Enter) {
        view_.setFocus(OKButton);
        return true;
    }
    return false;
}

void GateForm::refuse(const std::string& text) {
    program_.context().messages.show(text, platform::kGateTitle, platform::Buttons::Ok);
}

void GateForm::OKButton_Click() {
    std::string windir = platform::getwindowsdir();
    const settings::SettingsFile file(program_.context().dir);
    if (!file.exists()) {
        if (auto made = file.createForGate(windir); !made) {
            refuse("无法建立系统设置文件vorn.ini，不能核对密码：\n" + made.error().message);
            return;
        }
    }
    auto record = file.read(settings::kGateFieldCount);
    if (!record) {
        // Never remade: that would reset the password to empty.
        refuse("系统设置文件vorn.ini无法读取，不能核对密码（该文件未作改动）：\n" +
               record.error().message);
        return;
    }
    windir = settings::field(*record, settings::kFieldWindir).value_or(std::string());

    if (!settings::passwordMatches(*record, view_.text(Text2))) {
        refuse("密码有误，确定重输！");
        view_.setText(Text2, "");
        view_.setFocus(Text2);
        return;
    }
    // The main window opens before the gate closes, so the program never has no window.
    program_.openMain(std::move(windir));
    view_.close();
}

}  // namespace tessmar::forms
