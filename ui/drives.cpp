#include "ui/drives.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/sidewindow.h"
#include "ui/single.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

const char* const kTitle = "系统提示:";

// Drive grid inside the left frame: 3 columns of 5 rows, a label then its box on each row.
constexpr int kColumnLeft[3] = {240, 1260, 2280};
constexpr int kRowTop = 150;
constexpr int kRowPitch = 360;
constexpr int kBoxOffset = 450;

}  // namespace

drives::drives(Context& context) : context_(context) {
    makeFixedWindow(this, 4695, 2775, QStringLiteral(" 隐藏硬盘驱动器 <- 设置"));
    build();
}

void drives::build() {
    QFrame* outer = makeFrame(this, QStringLiteral("Frame1"), 0, 0, 4695, 2775);
    QFrame* left = makeFrame(outer, QStringLiteral("Frame2"), 120, 120, 3135, 2040);
    QFrame* right = makeFrame(outer, QStringLiteral("Frame3"), 3345, 120, 1230, 2040);

    for (int i = 0; i < settings::kDriveCount; ++i) {
        const int column = i / 5;
        const int top = kRowTop + (i % 5) * kRowPitch;

        auto* label = new QLabel(QStringLiteral("%1:").arg(QChar('A' + i)), left);
        label->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        label->setFont(songti(12));
        label->setGeometry(twipsRect(kColumnLeft[column], top - 30, 420, 315));

        auto* box = new QCheckBox(left);
        box->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        box->setGeometry(twipsRect(kColumnLeft[column] + kBoxOffset, top, 255, 255));
        Check1_[i] = box;
    }
    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(left);
        line->setObjectName(QStringLiteral("Line1(%1)").arg(i));
        line->setStyleSheet(QStringLiteral("background-color: %1;").arg(rgb(128, 128, 128)));
        line->setGeometry(twips(1110 + i * 1020), twips(120), 1, twips(1800));
    }

    auto* hint = new QLabel(QStringLiteral("选择左边你要隐藏驱动器名称。"), right);
    hint->setObjectName(QStringLiteral("Label1(15)"));
    hint->setFont(kaiti(12));
    hint->setStyleSheet(QStringLiteral("color: %1;").arg(rgb(0, 0, 255)));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setGeometry(twipsRect(120, 240, 990, 1680));

    const QString captions[4] = {QStringLiteral("全选"), QStringLiteral("全否"),
                                 QStringLiteral("确定"), QStringLiteral("取消")};
    QPushButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new QPushButton(captions[i], outer);
        buttons[i]->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        buttons[i]->setGeometry(twipsRect(120 + i * 1140, 2280, 1020, 375));
        buttons[i]->setAutoDefault(false);
    }
    buttons[2]->setStyleSheet(lightGreenButtonStyle());
    buttons[3]->setStyleSheet(lightGreenButtonStyle());

    connect(buttons[0], &QPushButton::clicked, this, [this] { setAll(true); });
    connect(buttons[1], &QPushButton::clicked, this, [this] { setAll(false); });
    connect(buttons[2], &QPushButton::clicked, this, &drives::confirm);
    connect(buttons[3], &QPushButton::clicked, this, &QWidget::close);

    QWidget* previous = Check1_[0];
    for (QWidget* next : Check1_) {
        if (next != previous) setTabOrder(previous, next);
        previous = next;
    }
    for (QPushButton* button : buttons) {
        setTabOrder(previous, button);
        previous = button;
    }
}

Status drives::load() {
    settings::DrivesFile file(context_.dir);
    if (!file.exists())
        if (auto made = file.makeDefault(); !made) return made;
    auto record = file.read();
    if (!record) return std::unexpected(record.error());
    const settings::DriveFlags hide = settings::parseDriveSelection(record->selection);
    for (int i = 0; i < settings::kDriveCount; ++i) Check1_[i]->setChecked(hide[i]);
    return {};
}

void drives::setAll(bool hide) {
    for (QCheckBox* box : Check1_) box->setChecked(hide);
}

void drives::confirm() {
    settings::DriveFlags hide{};
    for (int i = 0; i < settings::kDriveCount; ++i) hide[i] = Check1_[i]->isChecked();
    if (auto written = settings::DrivesFile(context_.dir).write(hide); !written) {
        // The administrator keeps the ticks and may retry once the file can be written.
        report("隐藏驱动器的选择未能保存，请检查程序所在的文件夹是否可写。\n" +
               written.error().message);
        return;
    }
    close();
}

void drives::report(const std::string& text) {
    context_.messages.show(text, kTitle, platform::Buttons::Ok);
}

drives* drives::open(Context& context) {
    return openSingle(
        current_,
        [&] {
            auto* window = new drives(context);
            centreOnScreen(window);
            return window;
        },
        [](drives* window) {
            if (auto loaded = window->load(); !loaded)
                window->report("无法建立或读取隐藏驱动器的设置文件，所有驱动器暂按未隐藏显示。\n" +
                               loaded.error().message);
        });
}

drives* drives::instance() {
    return current_;
}

}  // namespace tessmar::ui
