#include "ui/logo.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "settings/sidefiles.h"
#include "ui/sidewindow.h"
#include "ui/single.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

const char* const kTitle = "系统提示:";

// The file keeps line breaks as CR LF; the boxes hold them as LF.
QString fromFileText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    return shown;
}

std::string toFileText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

QPlainTextEdit* makeBox(QWidget* parent, const QString& name, const QRect& place) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setFont(songti(11.25));
    box->setGeometry(place);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(songti(12));
    label->setStyleSheet(QStringLiteral("color: %1;").arg(rgb(0, 0, 255)));
    label->setGeometry(place);
    return label;
}

}  // namespace

logo::logo(Context& context) : context_(context) {
    makeFixedWindow(this, 5175, 3135, QStringLiteral("Windows登录提示信息  <- 设置"));
    build();
}

void logo::build() {
    QFrame* frame = makeFrame(this, QStringLiteral("Frame1"), 0, 0, 5175, 3135);

    makeCaption(frame, QStringLiteral("Label1(0)"), QStringLiteral("标题："),
                twipsRect(390, 300, 840, 300));
    Text1_ = makeBox(frame, QStringLiteral("Text1"), twipsRect(1290, 240, 3495, 645));
    makeCaption(frame, QStringLiteral("Label1(1)"), QStringLiteral("内容："),
                twipsRect(390, 1065, 840, 300));
    Text2_ = makeBox(frame, QStringLiteral("Text2"), twipsRect(1290, 1005, 3495, 1215));

    QPushButton* buttons[2];
    const QString captions[2] = {QStringLiteral("确定退出"), QStringLiteral("取消退出")};
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new QPushButton(captions[i], frame);
        buttons[i]->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        buttons[i]->setFont(songti(9, true));
        buttons[i]->setGeometry(twipsRect(1515 + i * 1830, 2460, 1215, 435));
        // Enter belongs to the boxes, where it starts a new line.
        buttons[i]->setAutoDefault(false);
        buttons[i]->setDefault(false);
    }
    connect(buttons[0], &QPushButton::clicked, this, &logo::confirm);
    connect(buttons[1], &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(Text1_, Text2_);
    setTabOrder(Text2_, buttons[0]);
    setTabOrder(buttons[0], buttons[1]);
}

Status logo::load() {
    settings::NoticeFile file(context_.dir);
    if (!file.exists())
        if (auto made = file.makeDefault(); !made) return made;
    auto notice = file.read();
    if (!notice) return std::unexpected(notice.error());
    Text1_->setPlainText(fromFileText(notice->title));
    Text2_->setPlainText(fromFileText(notice->text));
    return {};
}

void logo::confirm() {
    auto written = settings::NoticeFile(context_.dir).write(toFileText(Text1_), toFileText(Text2_));
    if (!written) {
        // Nothing was written; the texts stay in the boxes to be corrected.
        report("登录提示信息未能保存，窗口中的文字保持不变。\n" + written.error().message);
        return;
    }
    close();
}

void logo::report(const std::string& text) {
    context_.messages.show(text, kTitle, platform::Buttons::Ok);
}

logo* logo::open(Context& context) {
    return openSingle(
        current_,
        [&] {
            auto* window = new logo(context);
            centreOnScreen(window);
            return window;
        },
        [](logo* window) {
            if (auto loaded = window->load(); !loaded)
                window->report("无法建立或读取登录提示信息文件，现显示为空。\n" +
                               loaded.error().message);
        });
}

logo* logo::instance() {
    return current_;
}

}  // namespace tessmar::ui
