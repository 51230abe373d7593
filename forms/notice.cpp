#include "forms/notice.h"

#include "forms/names.h"
#include "settings/sidefiles.h"

namespace tessmar::forms {
using namespace names::notice;

namespace {

// The file keeps line breaks as CR LF; a view breaks lines with LF (and may hand back CR LF).
std::string toViewText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            shown += text[i];
        } else {
            shown += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return shown;
}

std::string toFileText(std::string_view text) {
    std::string stored;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            stored += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            stored += text[i];
        }
    }
    return stored;
}

}  // namespace

Status NoticeForm::loadFile() {
    const settings::NoticeFile file(program_.context().dir);
    if (!file.exists())
        if (auto made = file.makeDefault(); !made) return made;
    auto notice = file.read();
    if (!notice) return std::unexpected(notice.error());
    view_.setText(Text1, toViewText(notice->title));
    view_.setText(Text2, toViewText(notice->text));
    return {};
}

std::string NoticeForm::loadFailure() const {
    return "无法建立或读取登录提示信息文件，现显示为空。";
}

void NoticeForm::click(Id control) {
    if (control == Command1[0]) {
        // Nothing is written on failure; the texts stay in the boxes to be corrected.
        confirm(settings::NoticeFile(program_.context().dir)
                    .write(toFileText(view_.text(Text1)), toFileText(view_.text(Text2))),
                "登录提示信息未能保存，窗口中的文字保持不变。");
    } else if (control == Command1[1]) {
        view_.close();
    }
}

}  // namespace tessmar::forms
