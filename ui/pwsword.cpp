#include "ui/pwsword.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "settings/record.h"
#include "settings/vorn.h"
#include "ui/single.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

constexpr const char* kTitle = "系统提示:";

QString name(const char* kind, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index);
}

}  // namespace

pwsword::pwsword(Context& context)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      context_(context) {
    setObjectName(QStringLiteral("pwsword"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("密码修改"));
    setFont(songti(9));
    setFixedSize(twips(3495), twips(1815));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(rect());

    const std::array<QString, 2> captions{QStringLiteral("输入新口令："),
                                          QStringLiteral("重输新口令：")};
    const std::array<int, 2> labelTops{360, 855};
    const std::array<int, 2> boxTops{360, 840};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(captions[i], frame);
        label->setObjectName(name("Label1", i + 1));
        label->setGeometry(twipsRect(360, labelTops[i], 1335, 255));
        label->setFont(songti(10.5));

        auto* box = new QLineEdit(frame);
        box->setObjectName(name("Text1", i));
        box->setGeometry(twipsRect(1560, boxTops[i], 1455, 270));
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        box->installEventFilter(this);
        Text1_[i] = box;
    }

    const std::array<QString, 2> buttons{QStringLiteral("确定"), QStringLiteral("取消")};
    const std::array<int, 2> lefts{840, 1920};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(buttons[i], frame);
        button->setObjectName(name("Command1", i));
        button->setGeometry(twipsRect(lefts[i], 1335, 735, 300));
        // Enter on a focused button presses it, as on Windows.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1_[i] = button;
    }

    setTabOrder(Command1_[0], Command1_[1]);
    setTabOrder(Command1_[1], Text1_[0]);
    setTabOrder(Text1_[0], Text1_[1]);
    Command1_[0]->setFocus();

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

pwsword* pwsword::open(Context& context) {
    return openSingle(current_, [&] { return new pwsword(context); });
}

pwsword* pwsword::instance() {
    return current_;
}

bool pwsword::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == Text1_[0]) {
                Text1_[1]->setFocus();
                return true;
            }
            if (watched == Text1_[1]) {
                Command1_[0]->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void pwsword::tell(const std::string& text) {
    context_.messages.show(text, kTitle, platform::Buttons::Ok);
}

void pwsword::Command1_Click(int index) {
    if (index == 1) {
        close();
        return;
    }
    if (Text1_[0]->text().isEmpty() || Text1_[1]->text().isEmpty()) {
        tell("口令不为空!");
        // The upper empty box ends with the focus.
        if (Text1_[1]->text().isEmpty()) Text1_[1]->setFocus();
        if (Text1_[0]->text().isEmpty()) Text1_[0]->setFocus();
        return;
    }
    const std::string entered = settings::trimBlanks(Text1_[0]->text().toStdString());
    const std::string again = settings::trimBlanks(Text1_[1]->text().toStdString());
    if (entered != again) {
        tell("口令不一致!");
        Text1_[1]->clear();
        Text1_[1]->setFocus();
        return;
    }
    const settings::SettingsFile file(context_.dir);
    if (!file.exists()) {
        tell("系统设置文件vorn.ini不存在，口令未修改！");
        return;
    }
    if (auto changed = file.changePassword(again); !changed) {
        tell("口令未修改：" + changed.error().message);
        return;
    }
    tell("口令修改成功!");
    close();
}

}  // namespace tessmar::ui
