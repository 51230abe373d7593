#include "forms/logo.h"

#include "forms/names.h"
#include "settings/sidefiles.h"

namespace tessmar::forms {
using namespace names::logo;

Status logo::loadFile() {
    const settings::NoticeFile file(program_.context().dir);
    if (!file.exists())
        if (auto made = file.makeDefault(); !made) return made;
    auto notice = file.read();
    if (!notice) return std::unexpected(notice.error());
    view_.setText(Text1, notice->title);
    view_.setText(Text2, notice->text);
    return {};
}

std::string logo::loadFailure() const {
    return "无法建立或读取登录提示信息文件，现显示为空。";
}

void logo::click(Id control) {
    if (control == Command1[0]) {
        // Nothing is written on failure; the texts stay in the boxes to be corrected.
        confirm(settings::NoticeFile(program_.context().dir)
                    .write(view_.text(Text1), view_.text(Text2)),
                "登录提示信息未能保存，窗口中的文字保持不变。");
    } else if (control == Command1[1]) {
        view_.close();
    }
}

}  // namespace tessmar::forms
