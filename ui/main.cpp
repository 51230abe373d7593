#include "ui/main.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTableWidget>
#include <algorithm>

#include "custom/fill.h"
#include "custom/store.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "settings/selection.h"
#include "settings/vorn.h"
#include "ui/drives.h"
#include "ui/logo.h"
#include "ui/picturebox.h"
#include "ui/pwsword.h"
#include "ui/single.h"
#include "ui/style.h"
#include "ui/usersys.h"

namespace tessmar::ui {
namespace {

constexpr const char* kTitle = "系统提示:";

// Declared bounds of ieflag, deskflag, netflag, fileflag and customflag; customflag grows past its
// bound when the custom entries need more rows.
constexpr std::array<std::size_t, 5> kFlagSizes{9, 27, 7, 13, 451};

const QColor kFrameLit(255, 0, 0);
const QColor kFrameDim(192, 192, 192);
const QColor kCellBack(192, 255, 192);
const QColor kCellText(0, 0, 255);

const std::array<QString, 5> kCategoryHover{
    QStringLiteral("--->“IE 属性”设置"), QStringLiteral("--->“系统桌面”设置"),
    QStringLiteral("--->“网络共享”设置"), QStringLiteral("---> “文件菜单”设置"),
    QStringLiteral("--->“自定功能”设置")};
const std::array<QString, 5> kCategoryTips{
    QStringLiteral("IE属性设置"), QStringLiteral("系统桌面设置"), QStringLiteral("网络共享设置"),
    QStringLiteral("文件菜单设置"), QStringLiteral("自定功能设置")};
constexpr std::array<int, 5> kFrameTops{100, 850, 1600, 2360, 3120};

// A graphical-style button whose caption wraps onto several lines when the button is narrow.
class WrappingButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
    }
};

// A label one character wide: its text reads downwards, one character under the other, at the
// font's own size rather than its (taller) line spacing.
class ColumnLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const int step = QFontInfo(font()).pixelSize();
        const QString shown = text();
        for (qsizetype i = 0; i < shown.size(); ++i)
            painter.drawText(QRect(0, static_cast<int>(i) * step, width(), step), Qt::AlignCenter,
                             shown.mid(i, 1));
    }
};

QString name(const char* kind, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index);
}

void colourText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QPushButton* captionButton(QPushButton* button, const QString& objectName, const QString& tip,
                           QRect geometry, const QColor& back) {
    button->setObjectName(objectName);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                         "gray; padding: 0px; } QPushButton:pressed { border: "
                                         "2px inset gray; }")
                              .arg(rgb(back.red(), back.green(), back.blue())));
    return button;
}

QPushButton* pictureButton(const QString& picture, const QString& objectName, const QString& tip,
                           QRect geometry, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    button->setIcon(QIcon(picture));
    button->setIconSize(geometry.size() - QSize(4, 4));
    // A move over the button, with a mouse button held or not, must not reach the panel behind it,
    // which would clear the description the button has just set.
    button->setAttribute(Qt::WA_NoMousePropagation);
    return button;
}

QLabel* label(const QString& text, const QString& objectName, QRect geometry, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(objectName);
    result->setGeometry(geometry);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return result;
}

}  // namespace

main* main::open(Context& context) {
    return openSingle(current_, [&] { return new main(context); });
}

main* main::instance() {
    return current_;
}

const std::vector<bool>& main::flags(int category) const {
    return const_cast<main*>(this)->flagsOf(category);
}

std::vector<bool>& main::flagsOf(int category) {
    const std::array<std::vector<bool>*, 5> all{&ieflag_, &deskflag_, &netflag_, &fileflag_,
                                                &customflag_};
    return *all[static_cast<std::size_t>(std::clamp(category, 0, 4))];
}

main::main(Context& context)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), context_(context) {
    setObjectName(QStringLiteral("main"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(songti(9));
    for (int i = 0; i < 5; ++i) flagsOf(i).assign(kFlagSizes[static_cast<std::size_t>(i)], false);
    build();
    showChecklistView(false);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void main::build() {
    // A thin fixed border of one pixel around the 593 x 403 client area.
    const QSize client(twips(8895), twips(6045));
    setFixedSize(client + QSize(2, 2));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setGeometry(QRect(QPoint(1, 1), client));

    Picture1_ = new PictureBox(QStringLiteral(":/art/background.svg"), client_);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setGeometry(twipsRect(0, 0, 8930, 6070));

    Command3_[0] = captionButton(new WrappingButton(QStringLiteral("全选"), Picture1_),
                                 name("Command3", 0), QStringLiteral("全部选中下列要修复的项目"),
                                 twipsRect(2520, 4320, 345, 465), QColor(255, 192, 255));
    Command3_[1] = captionButton(new WrappingButton(QStringLiteral("全否"), Picture1_),
                                 name("Command3", 1), QStringLiteral("取消下列所有被选中的项目"),
                                 twipsRect(2520, 4920, 345, 465), QColor(255, 192, 255));

    Command1_ = new QPushButton(Picture1_);
    Command1_->setObjectName(name("Command1", 1));
    Command1_->setGeometry(twipsRect(8280, 160, 300, 300));
    Command1_->setIcon(QIcon(QStringLiteral(":/art/close.svg")));
    Command1_->setIconSize(Command1_->size());
    Command1_->setFlat(true);
    Command1_->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0px; }"));

    Picture2_[1] = new PictureBox(QStringLiteral(":/art/panel_checklist.svg"), Picture1_);
    Picture2_[1]->setObjectName(name("Picture2", 1));
    Picture2_[1]->setGeometry(twipsRect(3000, 1200, 5415, 4120));
    Picture2_[1]->setBackColor(QColor(192, 192, 255));

    Grid1_ = new QTableWidget(0, 3, Picture2_[1]);
    Grid1_->setObjectName(QStringLiteral("Grid1"));
    Grid1_->setGeometry(twipsRect(0, 0, 5415, 3645));
    Grid1_->setFont(songti(9));
    // Row 0 is a fixed row: the horizontal header shows it, so it stays put when the rows scroll.
    constexpr int rowHeight = 18;
    Grid1_->verticalHeader()->hide();
    Grid1_->verticalHeader()->setMinimumSectionSize(1);
    Grid1_->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* fixedRow = Grid1_->horizontalHeader();
    fixedRow->setMinimumSectionSize(1);
    fixedRow->setSectionResizeMode(QHeaderView::Fixed);
    fixedRow->setSectionsClickable(false);
    fixedRow->setHighlightSections(false);
    fixedRow->setFixedHeight(rowHeight);
    Grid1_->setColumnWidth(0, twips(440));
    Grid1_->setColumnWidth(1, twips(4170));
    Grid1_->setColumnWidth(2, twips(440));
    Grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1_->setSelectionMode(QAbstractItemView::NoSelection);
    Grid1_->setWordWrap(false);
    Grid1_->setTextElideMode(Qt::ElideNone);
    QPalette outside = Grid1_->palette();
    outside.setColor(QPalette::Base, QColor(128, 128, 128));
    Grid1_->setPalette(outside);
    Grid1_->viewport()->installEventFilter(this);
    // Moves over the grid and its fixed row never reach the panel, which would clear a lit frame.
    Grid1_->setAttribute(Qt::WA_NoMousePropagation);

    Label3_ =
        label(QString(), QStringLiteral("Label3"), twipsRect(360, 3720, 4455, 300), Picture2_[1]);
    Label3_->setFont(youyuan(14.25));
    colourText(Label3_, QColor(255, 0, 0));

    Picture2_[0] = new PictureBox(QStringLiteral(":/art/panel_categories.svg"), Picture1_);
    Picture2_[0]->setObjectName(name("Picture2", 0));
    Picture2_[0]->setGeometry(twipsRect(460, 1320, 1815, 3920));
    Picture2_[0]->setBackColor(QColor(128, 128, 255));

    for (int i = 0; i < 5; ++i) {
        auto* frame = new PictureBox(QString(), Picture2_[0]);
        frame->setObjectName(name("Picture3", i));
        frame->setGeometry(twipsRect(40, kFrameTops[i], 1670, 620));
        frame->setBackColor(kFrameDim);
        Picture3_[i] = frame;

        Command2_[i] =
            pictureButton(QStringLiteral(":/art/category%1.svg").arg(i), name("Command2", i),
                          kCategoryTips[i], twipsRect(40, 40, 1575, 540), frame);
        Command2_[i]->setMouseTracking(true);
        Command2_[i]->installEventFilter(this);
        if (i < 4)
            connect(Command2_[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    }

    Label1_ = new ColumnLabel(QStringLiteral("单击你要设置的项目，打钩后有效。"), Picture1_);
    Label1_->setObjectName(name("Label1", 0));
    Label1_->setGeometry(twipsRect(2565, 960, 255, 3375));
    Label1_->setFont(songti(10.5));
    colourText(Label1_, QColor(255, 0, 0));

    Label2_[0] = label(QStringLiteral("备注："), name("Label2", 1), twipsRect(3600, 760, 615, 255),
                       Picture1_);
    colourText(Label2_[0], QColor(255, 0, 0));
    Label2_[1] = label(QStringLiteral("右击带\"*\"号的项目即可进入详细参数设置!"),
                       name("Label2", 2), twipsRect(4200, 760, 3735, 255), Picture1_);

    auto* image = new PictureBox(QStringLiteral(":/art/icon.svg"), Picture1_);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(twipsRect(180, 120, 360, 360));
    image->setAutoFillBackground(false);

    // Made after Picture1, so that they lie above it.
    Command6_ = captionButton(new QPushButton(QStringLiteral("取消退出"), client_),
                              QStringLiteral("Command6"), QStringLiteral("退出Tessmar"),
                              twipsRect(6000, 4920, 900, 375), QColor(192, 255, 192));
    Command5_ = captionButton(new QPushButton(QStringLiteral("确定生效"), client_),
                              QStringLiteral("Command5"), QStringLiteral("按选择项目进行设置"),
                              twipsRect(4440, 4920, 900, 375), QColor(192, 255, 192));
    Command4_[0] =
        pictureButton(QStringLiteral(":/art/help.svg"), name("Command4", 2),
                      QStringLiteral("使用帮助"), twipsRect(480, 705, 390, 375), client_);
    Command4_[1] =
        pictureButton(QStringLiteral(":/art/password.svg"), name("Command4", 3),
                      QStringLiteral("系统员密码设置"), twipsRect(1920, 705, 390, 375), client_);

    for (QWidget* tracked :
         {static_cast<QWidget*>(Command4_[0]), static_cast<QWidget*>(Command4_[1]),
          static_cast<QWidget*>(Picture1_), static_cast<QWidget*>(Picture2_[0]),
          static_cast<QWidget*>(Picture2_[1])}) {
        tracked->setMouseTracking(true);
        tracked->installEventFilter(this);
    }

    connect(Command3_[0], &QPushButton::clicked, this, [this] { Command3_Click(0); });
    connect(Command3_[1], &QPushButton::clicked, this, [this] { Command3_Click(1); });
    connect(Command5_, &QPushButton::clicked, this, &main::Command5_Click);
    connect(Command6_, &QPushButton::clicked, this, &main::Command6_Click);
    connect(Command4_[0], &QPushButton::clicked, this, [this] { Command4_Click(2); });
    connect(Command4_[1], &QPushButton::clicked, this, [this] { Command4_Click(3); });
    connect(Command1_, &QPushButton::clicked, this, &QWidget::close);
}

void main::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void main::showChecklistView(bool shown) {
    for (QWidget* widget : {static_cast<QWidget*>(Grid1_), static_cast<QWidget*>(Command3_[0]),
                            static_cast<QWidget*>(Command3_[1]), static_cast<QWidget*>(Command5_),
                            static_cast<QWidget*>(Command6_), static_cast<QWidget*>(Label1_),
                            static_cast<QWidget*>(Label2_[0]), static_cast<QWidget*>(Label2_[1])})
        widget->setVisible(shown);
    Label3_->setVisible(!shown);
}

bool main::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        for (int i = 0; i < 5; ++i)
            if (watched == Command2_[i]) hoverCategory(i);
        if (watched == Command4_[0]) hoverText(QStringLiteral("---> “使用帮助”设置"));
        if (watched == Command4_[1]) hoverText(QStringLiteral("---> “系统员密码设置”设置"));
        if (watched == Picture1_ || watched == Picture2_[0] || watched == Picture2_[1]) {
            hoverNothing();
            return true;
        }
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (int i = 0; i < 5; ++i)
            if (watched == Command2_[i]) {
                Label3_->hide();
                if (i != engine::kCustomCategory) return false;
                // The custom button works on the press itself, not on a click.
                if (mouse->button() == Qt::LeftButton)
                    fillCustom();
                else if (mouse->button() == Qt::RightButton)
                    usersys::open(context_);
                return true;
            }
        if (watched == Grid1_->viewport()) {
            // A press of two buttons at once does nothing.
            if (mouse->buttons() == mouse->button())
                Grid1_MouseDown(mouse->button(), Grid1_->rowAt(mouse->position().toPoint().y()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void main::hoverCategory(int index) {
    for (int i = 0; i < 5; ++i) Picture3_[i]->setBackColor(i == index ? kFrameLit : kFrameDim);
    Label3_->setText(kCategoryHover[static_cast<std::size_t>(index)]);
}

void main::hoverText(const QString& text) {
    Label3_->setText(text);
}

void main::hoverNothing() {
    for (PictureBox* frame : Picture3_) frame->setBackColor(kFrameDim);
    Label3_->clear();
}

std::optional<settings::Record> main::readSettings() {
    const settings::SettingsFile file(context_.dir);
    if (!file.exists()) {
        if (auto made = file.createForChecklist(context_.windir); !made) {
            context_.messages.show("无法建立系统设置文件vorn.ini：\n" + made.error().message,
                                   kTitle, platform::Buttons::Ok);
            return std::nullopt;
        }
    }
    auto record = file.read();
    if (!record) {
        context_.messages.show(
            "系统设置文件vorn.ini无法读取，不能显示该项设置：\n" + record.error().message, kTitle,
            platform::Buttons::Ok);
        return std::nullopt;
    }
    context_.windir = settings::field(*record, settings::kFieldWindir).value_or(std::string());
    return std::move(*record);
}

void main::showRows(const settings::Checklist& checklist) {
    Grid1_->clearContents();
    Grid1_->setRowCount(static_cast<int>(checklist.rows.size()));
    const QPalette& system = palette();
    for (int row = 0; row < Grid1_->rowCount(); ++row)
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(QString::fromStdString(
                checklist.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
            item->setFlags(Qt::ItemIsEnabled);
            // Row 0 and column 0 are the grid's fixed cells, drawn in the system's button colours.
            const bool fixed = row == 0 || column == 0;
            item->setBackground(fixed ? system.button() : QBrush(kCellBack));
            item->setForeground(fixed ? system.buttonText() : QBrush(kCellText));
            item->setTextAlignment(column == 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignCenter);
            if (row == 0) Grid1_->setHorizontalHeaderItem(column, item->clone());
            Grid1_->setItem(row, column, item);
        }
    // The fixed row keeps its cells, for reading, but only the header shows them.
    if (Grid1_->rowCount() > 0) Grid1_->setRowHidden(0, true);
    Grid1_->scrollToTop();
}

std::vector<bool>& main::shownFlags() {
    return flagsOf(shezhiflag_);
}

void main::Command2_Click(int index) {
    const auto record = readSettings();
    if (!record) return;
    const settings::Checklist checklist = engine::fillBuiltin(
        index, settings::field(*record, engine::builtinCategory(index).settingsField));
    showChecklistView(true);
    shezhiflag_ = index;
    showRows(checklist);
    std::vector<bool>& flags = flagsOf(index);
    std::fill(flags.begin(), flags.end(), false);
    for (std::size_t k = 1; k < checklist.flags.size() && k < flags.size(); ++k)
        flags[k] = checklist.flags[k];
    Label3_->hide();
}

void main::fillCustom() {
    const auto record = readSettings();
    if (!record) return;
    showChecklistView(true);
    shezhiflag_ = engine::kCustomCategory;

    std::vector<std::string> names;
    settings::Field stored;
    const custom::Store store(context_.dir / custom::kEntryFileName);
    if (!store.exists()) {
        context_.messages.show("系统文件丢失,请重新安装!", kTitle, platform::Buttons::Ok);
    } else if (auto listed = store.listNames(); listed) {
        names = std::move(*listed);
        stored = settings::field(*record, settings::kFieldCustom);
    } else {
        context_.messages.show(listed.error().message, kTitle, platform::Buttons::Ok);
    }
    // Without entries the checklist keeps only its heading row.
    const settings::Checklist checklist = custom::fillCustom(names, stored);
    nrow_ = static_cast<int>(checklist.rows.size());
    showRows(checklist);
    std::vector<bool>& flags = customflag_;
    flags.assign(std::max(kFlagSizes[engine::kCustomCategory], checklist.rows.size()), false);
    for (std::size_t k = 1; k < checklist.flags.size(); ++k) flags[k] = checklist.flags[k];
    Label3_->hide();
}

void main::Grid1_MouseDown(Qt::MouseButton button, int row) {
    if (button == Qt::LeftButton) {
        std::vector<bool>& flags = shownFlags();
        if (row < 1 || row >= Grid1_->rowCount() || static_cast<std::size_t>(row) >= flags.size())
            return;
        Grid1_->setCurrentCell(row, 2);
        QTableWidgetItem* mark = Grid1_->item(row, 2);
        if (!mark) return;
        const bool marked = mark->text() == QString::fromUtf8(settings::kMark);
        mark->setText(QString::fromUtf8(marked ? settings::kNoMark : settings::kMark));
        flags[static_cast<std::size_t>(row)] = !marked;
    } else if (button == Qt::RightButton && shezhiflag_ == 1) {
        if (row == 2)
            drives::open(context_);
        else if (row == 3)
            logo::open(context_);
    }
}

void main::Command3_Click(int index) {
    const bool chosen = index == 0;
    std::vector<bool>& flags = shownFlags();
    const QString text = QString::fromUtf8(chosen ? settings::kMark : settings::kNoMark);
    for (int k = 1; k < Grid1_->rowCount() && static_cast<std::size_t>(k) < flags.size(); ++k) {
        Grid1_->setCurrentCell(k, 2);
        if (QTableWidgetItem* mark = Grid1_->item(k, 2)) mark->setText(text);
        flags[static_cast<std::size_t>(k)] = chosen;
    }
}

void main::Command5_Click() {
    const engine::ApplyContext applyContext{context_.dir, context_.registry, context_.messages};
    const engine::ApplyRequest request{shezhiflag_, shownFlags(), nrow_};
    const engine::ApplyOutcome outcome = engine::apply(applyContext, request);
    if (outcome.windir) context_.windir = *outcome.windir;
    // When the choice could not be stored it stays on screen, so that it is not lost.
    if (outcome.settingsWritten) showChecklistView(false);
}

void main::Command6_Click() {
    showChecklistView(false);
}

void main::Command4_Click(int index) {
    if (index == 2) {
        const std::filesystem::path dir(settings::trimBlanks(context_.dir.string()));
        context_.shell.openMaximised(dir / "help.htm");
    } else {
        pwsword::open(context_);
    }
}

}  // namespace tessmar::ui
