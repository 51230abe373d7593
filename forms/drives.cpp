#include "forms/drives.h"

#include "forms/names.h"
#include "settings/sidefiles.h"

namespace tessmar::forms {
using namespace names::drives;

Status DrivesForm::loadFile() {
    const settings::DrivesFile file(program_.context().dir);
    if (!file.exists())
        if (auto made = file.makeDefault(); !made) return made;
    auto record = file.read();
    if (!record) return std::unexpected(record.error());
    const settings::DriveFlags hide = settings::parseDriveSelection(record->selection);
    for (std::size_t i = 0; i < hide.size(); ++i) view_.setChecked(Check1[i], hide[i]);
    return {};
}

std::string DrivesForm::loadFailure() const {
    return "无法建立或读取隐藏驱动器的设置文件，所有驱动器暂按未隐藏显示。";
}

void DrivesForm::setAll(bool hide) {
    for (Id box : Check1) view_.setChecked(box, hide);
}

void DrivesForm::click(Id control) {
    if (control == Command1[0]) {
        setAll(true);
    } else if (control == Command1[1]) {
        setAll(false);
    } else if (control == Command1[2]) {
        settings::DriveFlags hide{};
        for (std::size_t i = 0; i < hide.size(); ++i) hide[i] = view_.checked(Check1[i]);
        // The administrator keeps the ticks and may retry once the file can be written.
        confirm(settings::DrivesFile(program_.context().dir).write(hide),
                "隐藏驱动器的选择未能保存，请检查程序所在的文件夹是否可写。");
    } else if (control == Command1[3]) {
        view_.close();
    }
}

}  // namespace tessmar::forms
