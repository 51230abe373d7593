#include "ui/pwdyz.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "platform/paths.h"
#include "settings/vorn.h"
#include "ui/main.h"
#include "ui/picturebox.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

constexpr const char* kTitle = "警告";

QPushButton* makeButton(const QString& caption, const QString& name, QRect geometry,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(songti(12, true));
    // Enter on a focused button presses it, as on Windows.
    button->setAutoDefault(true);
    return button;
}

}  // namespace

pwdyz::pwdyz(Context& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      context_(context) {
    setObjectName(QStringLiteral("pwdyz"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Kept out of the task bar as a tool window, yet counted as an open window of the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    setWindowTitle(QStringLiteral(" input sys pwd!"));
    setFont(songti(9));
    setFixedSize(twips(4515), twips(1800));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(0, 0, 4510, 1815));

    auto* image = new PictureBox(QStringLiteral(":/art/gate.svg"), frame);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(twipsRect(-120, 120, 1440, 720));
    image->setAutoFillBackground(false);

    auto* label = new QLabel(QStringLiteral("请输入系统员密码！"), frame);
    label->setObjectName(QStringLiteral("Label2"));
    label->setGeometry(twipsRect(1200, 360, 2775, 375));
    label->setFont(songti(14.25));
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(red);

    Text2_ = new QLineEdit(frame);
    Text2_->setObjectName(QStringLiteral("Text2"));
    Text2_->setGeometry(twipsRect(1320, 840, 2175, 375));
    Text2_->setFont(songti(12));
    Text2_->setEchoMode(QLineEdit::Password);
    Text2_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Text2_->setMaxLength(25);
    Text2_->installEventFilter(this);

    CancelButton_ = makeButton(QStringLiteral("取消"), QStringLiteral("CancelButton"),
                               twipsRect(2640, 1320, 975, 375), frame);
    OKButton_ = makeButton(QStringLiteral("确定"), QStringLiteral("OKButton"),
                           twipsRect(1200, 1320, 975, 375), frame);
    connect(OKButton_, &QPushButton::clicked, this, &pwdyz::OKButton_Click);
    connect(CancelButton_, &QPushButton::clicked, this, &pwdyz::CancelButton_Click);

    setTabOrder(Text2_, CancelButton_);
    setTabOrder(CancelButton_, OKButton_);
    Text2_->setFocus();

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool pwdyz::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKButton_->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void pwdyz::keyPressEvent(QKeyEvent* event) {
    // 确定 is the window's cancel button: Esc verifies the password instead of leaving.
    if (event->key() == Qt::Key_Escape) {
        OKButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void pwdyz::closeEvent(QCloseEvent* event) {
    if (leaving_)
        event->accept();
    else
        event->ignore();
}

void pwdyz::refuse(const std::string& text) {
    context_.messages.show(text, kTitle, platform::Buttons::Ok);
}

void pwdyz::OKButton_Click() {
    context_.windir = platform::getwindowsdir();
    const settings::SettingsFile file(context_.dir);
    if (!file.exists()) {
        if (auto made = file.createForGate(context_.windir); !made) {
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
    context_.windir = settings::field(*record, settings::kFieldWindir).value_or(std::string());

    if (!settings::passwordMatches(*record, Text2_->text().toStdString())) {
        refuse("密码有误，确定重输！");
        Text2_->clear();
        Text2_->setFocus();
        return;
    }

    // The main window is shown before the gate closes, so the program never has no window.
    main::open(context_);
    leaving_ = true;
    close();
}

void pwdyz::CancelButton_Click() {
    leaving_ = true;
    close();
    QCoreApplication::quit();
}

}  // namespace tessmar::ui
