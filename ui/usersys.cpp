#include "ui/usersys.h"

#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "platform/codepage.h"
#include "settings/record.h"
#include "ui/sidewindow.h"
#include "ui/single.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

const char* const kTitle = "系统提示";
const char* const kDeleteTypeText = "删除子项(U)";

QString q(const char* text) {
    return QString::fromUtf8(text);
}
std::string s(const QString& text) {
    return text.toStdString();
}

QLabel* makeLabel(QWidget* parent, int index, const char* text, const QRect& place) {
    auto* label = new QLabel(q(text), parent);
    label->setObjectName(QStringLiteral("Label1(%1)").arg(index));
    label->setGeometry(place);
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, int index, const QRect& place) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("Text1(%1)").arg(index));
    box->setGeometry(place);
    return box;
}

QComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items,
                     const QRect& place) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(q(name));
    combo->setEditable(true);
    combo->addItems(items);
    // What is typed stays as typed: no item is added on Enter, nothing is completed, and only an
    // exact (case-sensitive) match selects a list item.
    combo->setInsertPolicy(QComboBox::NoInsert);
    auto* completer = new QCompleter(QStringList{}, combo);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    combo->setCompleter(completer);
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    combo->setGeometry(place);
    return combo;
}

QPushButton* makePictureButton(QWidget* parent, const QString& name, const char* art,
                               const char* word, const QRect& place) {
    auto* button = new QPushButton(QIcon(q(art)), q(word), parent);
    button->setObjectName(name);
    button->setIconSize(QSize(16, 16));
    button->setAutoDefault(false);
    button->setGeometry(place);
    return button;
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

usersys::usersys(Context& context) : context_(context) {
    makeFixedWindow(this, 7455, 4335, q(" 自定功能维护 "));
    build();
}

void usersys::build() {
    QFrame* frame = makeFrame(this, QStringLiteral("Frame1"), 0, 0, 7455, 4335);

    makeLabel(frame, 7, "输入 “ 名 称 ”：", twipsRect(120, 640, 1695, 255));
    Text1_[3] = makeTextBox(frame, 3, twipsRect(1800, 600, 3100, 270));
    makeLabel(frame, 0, "选择“配置单元”：", twipsRect(120, 1110, 1695, 255));
    Combo1_ = makeCombo(frame, "Combo1",
                        {q("HKEY_CLASSES_ROOT "), q("HKEY_CURRENT_USER "), q("HKEY_LOCAL_MACHINE "),
                         q("HKEY_USERS")},
                        twipsRect(1800, 1080, 2175, 300));
    makeLabel(frame, 1, "输入“ 项 ”内容：", twipsRect(120, 1605, 1695, 255));
    Text1_[0] = makeTextBox(frame, 0, twipsRect(1800, 1560, 3100, 270));
    makeLabel(frame, 2, "输入“子项”内容：", twipsRect(120, 2085, 1695, 255));
    Text1_[1] = makeTextBox(frame, 1, twipsRect(1800, 2040, 3100, 270));
    makeLabel(frame, 3, "输入“ 值 ”内容：", twipsRect(120, 2565, 1695, 255));
    Text1_[2] = makeTextBox(frame, 2, twipsRect(1800, 2520, 3100, 270));
    makeLabel(frame, 4, "输入“ 值 ”类型：", twipsRect(120, 3045, 1695, 255));
    Combo2_ = makeCombo(
        frame, "Combo2",
        {q(custom::typeText(custom::kRegString)), q(custom::typeText(custom::kRegBinary)),
         q(custom::typeText(custom::kRegDword)), q(custom::typeText(custom::kRegDeleteKey))},
        twipsRect(1800, 3000, 1935, 300));

    const QString red = QStringLiteral("color: %1;").arg(rgb(255, 0, 0));
    status_ = makeLabel(frame, 6, "", twipsRect(1080, 240, 2055, 255));
    status_->setStyleSheet(red);
    clicked_ = makeLabel(frame, 5, "", twipsRect(1560, 3960, 5655, 255));
    clicked_->setStyleSheet(red);

    Grid1_ = new QTableWidget(0, 1, frame);
    Grid1_->setObjectName(QStringLiteral("Grid1"));
    Grid1_->setGeometry(twipsRect(4920, 480, 2295, 3375));
    Grid1_->horizontalHeader()->hide();
    Grid1_->verticalHeader()->hide();
    Grid1_->verticalHeader()->setDefaultSectionSize(twips(255));
    Grid1_->setColumnWidth(0, twips(2000));
    Grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1_->setWordWrap(false);

    add_ = makePictureButton(frame, QStringLiteral("Command2(0)"), ":/art/add.svg", "添加",
                             twipsRect(120, 3480, 855, 375));
    change_ = makePictureButton(frame, QStringLiteral("Command2(1)"), ":/art/change.svg", "修改",
                                twipsRect(1080, 3480, 855, 375));
    delete_ = makePictureButton(frame, QStringLiteral("Command2(3)"), ":/art/delete.svg", "删除",
                                twipsRect(2040, 3480, 855, 375));
    save_ = makePictureButton(frame, QStringLiteral("Command3"), ":/art/make.svg", "生成",
                              twipsRect(3000, 3480, 855, 375));
    save_->setStyleSheet(lightGreenButtonStyle());
    cancel_ = makePictureButton(frame, QStringLiteral("Command2(4)"), ":/art/cancel.svg", "取消",
                                twipsRect(3960, 3480, 855, 375));

    connect(add_, &QPushButton::clicked, this, &usersys::addClicked);
    connect(change_, &QPushButton::clicked, this, &usersys::changeClicked);
    connect(delete_, &QPushButton::clicked, this, &usersys::deleteClicked);
    connect(cancel_, &QPushButton::clicked, this, &usersys::cancelClicked);
    connect(save_, &QPushButton::clicked, this, &usersys::saveClicked);
    connect(Grid1_, &QTableWidget::cellClicked, this, [this](int row, int) { listClicked(row); });

    const QList<QWidget*> order = {Text1_[3], Combo1_, Text1_[0], Text1_[1], Text1_[2], Combo2_,
                                   add_,      change_, delete_,   save_,     cancel_,   Grid1_};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    for (QWidget* box : {static_cast<QWidget*>(Text1_[3]), static_cast<QWidget*>(Combo1_),
                         static_cast<QWidget*>(Text1_[0]), static_cast<QWidget*>(Text1_[1]),
                         static_cast<QWidget*>(Text1_[2]), static_cast<QWidget*>(Combo2_)})
        box->installEventFilter(this);
}

bool usersys::eventFilter(QObject* watched, QEvent* event) {
    // Characters typed through an input method arrive as one committed text, not as key presses.
    if (event->type() == QEvent::InputMethod && watched == Combo2_ &&
        !static_cast<QInputMethodEvent*>(event)->commitString().isEmpty())
        fillValueForDeleteType();
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (isEnter(key)) {
        // Enter walks the boxes in the order they are filled in; a disabled target keeps the focus
        // where it is.
        QWidget* next = nullptr;
        if (watched == Text1_[3])
            next = Combo1_;
        else if (watched == Combo1_)
            next = Text1_[0];
        else if (watched == Text1_[0])
            next = Text1_[1];
        else if (watched == Text1_[1])
            next = Text1_[2];
        else if (watched == Text1_[2])
            next = Combo2_;
        else if (watched == Combo2_)
            next = save_;
        if (next && next->isEnabled()) next->setFocus(Qt::OtherFocusReason);
    }
    if (watched == Combo2_ && (isEnter(key) || !key->text().isEmpty())) fillValueForDeleteType();
    return QWidget::eventFilter(watched, event);
}

void usersys::fillValueForDeleteType() {
    // Runs before the typed character reaches the box, so it sees the text as it was.
    if (Combo2_->currentText() == q(kDeleteTypeText)) Text1_[2]->setText(q(kDeleteTypeText));
}

custom::Store usersys::store() const {
    return custom::Store(context_.dir / custom::kEntryFileName);
}

void usersys::refreshlist() {
    add_->setEnabled(true);
    change_->setEnabled(false);
    delete_->setEnabled(false);
    save_->setEnabled(false);
    setTextBoxesEnabled(false);

    auto names = store().listNames();
    if (!names) {
        Grid1_->setRowCount(0);
        reportStoreError("无法读出自定功能的内容，列表暂为空。", names.error());
        return;
    }
    Grid1_->setRowCount(static_cast<int>(names->size()));
    Grid1_->setColumnWidth(0, twips(2000));
    for (std::size_t r = 0; r < names->size(); ++r)
        Grid1_->setItem(static_cast<int>(r), 0,
                        new QTableWidgetItem(QString::fromStdString((*names)[r])));
    if (!names->empty()) Grid1_->setCurrentCell(static_cast<int>(names->size()) - 1, 0);
}

void usersys::addClicked() {
    context_.editflag = kAdding;
    status_->setText(q("进行增加操作"));
    add_->setEnabled(false);
    change_->setEnabled(false);
    delete_->setEnabled(false);
    save_->setEnabled(true);
    cancel_->setEnabled(true);
    setTextBoxesEnabled(true);
    for (QLineEdit* box : Text1_) box->clear();
    Combo1_->setEditText(q("HKEY_CURRENT_USER"));
    Combo2_->setEditText(q(custom::typeText(custom::kRegDword)));
    Text1_[3]->setFocus(Qt::OtherFocusReason);
}

void usersys::changeClicked() {
    context_.editflag = kChanging;
    status_->setText(q("进行修改操作"));
    add_->setEnabled(false);
    delete_->setEnabled(false);
    save_->setEnabled(true);
    Text1_[3]->setFocus(Qt::OtherFocusReason);
}

void usersys::deleteClicked() {
    context_.editflag = kDeleting;
    status_->setText(q("进行删除操作"));
    add_->setEnabled(false);
    change_->setEnabled(false);

    auto count = entryCount();
    if (!count) return;
    auto row = currentEntry();
    if (*count == 0 || !row) {
        report("现在无法进行删除操作！");
        return;
    }
    if (!ask("确实要删除你选的内容吗？")) return;
    if (auto removed = store().deleteAt(*row); !removed) {
        reportStoreError("未能删除所选的内容。", removed.error());
        return;
    }
    refreshlist();
    emptyBoxes();
}

void usersys::cancelClicked() {
    context_.editflag = kIdle;
    status_->clear();
    add_->setEnabled(true);
    change_->setEnabled(true);
    delete_->setEnabled(true);
    save_->setEnabled(false);
    emptyBoxes();
}

void usersys::listClicked(int row) {
    auto count = entryCount();
    if (!count || *count == 0 || row < 0) return;

    clicked_->setText(Grid1_->item(row, 0) ? Grid1_->item(row, 0)->text() : QString());
    status_->setText(q("进行删除或修改操作"));
    change_->setEnabled(true);
    delete_->setEnabled(true);
    add_->setEnabled(false);
    save_->setEnabled(false);
    setTextBoxesEnabled(true);

    auto current = currentEntry();
    if (!current) return;
    auto entry = store().readAt(*current);
    if (!entry) {
        reportStoreError("未能读出所选的内容。", entry.error());
        return;
    }
    Text1_[3]->setText(QString::fromStdString(entry->sm));
    Combo1_->setEditText(QString::fromStdString(entry->hkey1));
    Text1_[0]->setText(QString::fromStdString(entry->subkey1));
    Text1_[1]->setText(QString::fromStdString(entry->newkey1));
    Text1_[2]->setText(QString::fromStdString(entry->ka1));
    if (entry->reg)
        if (const char* type = custom::typeText(*entry->reg)) Combo2_->setEditText(q(type));
    // Long keys are read from their beginning, as a freshly filled box shows them.
    for (QLineEdit* box : Text1_) box->setCursorPosition(0);
    for (QComboBox* combo : {Combo1_, Combo2_}) combo->lineEdit()->setCursorPosition(0);
}

bool usersys::checkBoxes() {
    struct Check {
        QWidget* box;
        QString text;
        const char* message;
        const char* field;
    };
    const Check checks[] = {
        {Text1_[3], Text1_[3]->text(), "“名称”不能为空", "名称"},
        {Combo1_, Combo1_->currentText(), "“配置单元”未选择", "配置单元"},
        {Text1_[0], Text1_[0]->text(), "“项的内容”不能为空", "项的内容"},
        {Text1_[1], Text1_[1]->text(), "“子项的内容”不能为空", "子项的内容"},
        {Text1_[2], Text1_[2]->text(), "“值”不能为空", "值"},
        {Combo2_, Combo2_->currentText(), "“值的类型”未选择", "值的类型"},
    };
    for (const Check& check : checks) {
        if (!check.text.isEmpty()) continue;
        report(check.message);
        check.box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // What is stored reaches the registry and the lists in code page 936; the type text never is.
    for (const Check& check : checks) {
        if (check.box == Combo2_ || platform::fitsCp936(s(check.text))) continue;
        report(std::string("“") + check.field +
               "”中有无法保存的字符(只能使用简体中文GBK字符集中的字符)，请修改后再存盘。");
        check.box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

custom::Entry usersys::entryFromBoxes() const {
    return custom::Entry{
        .sm = settings::trimBlanks(s(Text1_[3]->text())),
        .hkey1 = s(Combo1_->currentText()),
        .subkey1 = settings::trimBlanks(s(Text1_[0]->text())),
        .newkey1 = settings::trimBlanks(s(Text1_[1]->text())),
        .ka1 = settings::trimBlanks(s(Text1_[2]->text())),
        .reg = custom::typeCode(s(Combo2_->currentText())),
    };
}

void usersys::saveClicked() {
    if (!checkBoxes()) return;
    const custom::Entry entry = entryFromBoxes();

    if (context_.editflag == kAdding) {
        auto exists = store().nameExists(entry.sm);
        if (!exists) {
            reportStoreError("未能检查名称是否已存在，没有存盘。", exists.error());
            return;
        }
        if (*exists) {
            report(s(Text1_[3]->text()) + "->内容已存在，现无法增加！");
            Text1_[3]->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (ask("增加的内容要存盘(请确保输入的信息正确无误)吗？"))
            if (auto appended = store().append(entry); !appended)
                reportStoreError("增加的内容未能存盘。", appended.error());
        refreshlist();
    } else if (context_.editflag == kChanging) {
        save_->setEnabled(false);
        auto count = entryCount();
        if (!count || *count == 0) return;
        auto row = currentEntry();
        if (!row) {
            report("请先在右边的列表中点选要修改的内容。");
            return;
        }
        if (!ask("修改的内容要存盘吗？")) return;
        if (auto changed = store().changeAt(*row, entry); !changed)
            reportStoreError("修改的内容未能存盘。", changed.error());
        add_->setEnabled(true);
        delete_->setEnabled(true);
        refreshlist();
    }
}

std::optional<std::size_t> usersys::entryCount() {
    auto count = store().count();
    if (!count) {
        reportStoreError("无法读出自定功能的内容。", count.error());
        return std::nullopt;
    }
    return *count;
}

std::optional<std::size_t> usersys::currentEntry() const {
    const int row = Grid1_->currentRow();
    if (row < 0 || row >= Grid1_->rowCount()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void usersys::setTextBoxesEnabled(bool enabled) {
    for (QLineEdit* box : Text1_) box->setEnabled(enabled);
}

void usersys::emptyBoxes() {
    for (QLineEdit* box : Text1_) box->clear();
    for (QComboBox* combo : {Combo1_, Combo2_}) {
        combo->setCurrentIndex(-1);
        combo->clearEditText();
    }
}

void usersys::report(const std::string& text) {
    context_.messages.show(text, kTitle, platform::Buttons::Ok);
}

bool usersys::ask(const std::string& question) {
    return context_.messages.show(question, kTitle, platform::Buttons::OkCancel) ==
           platform::Answer::Ok;
}

void usersys::reportStoreError(const std::string& what, const Error& error) {
    report(what + "\n" + error.message);
}

usersys* usersys::open(Context& context) {
    return openSingle(
        current_,
        [&] {
            auto* window = new usersys(context);
            centreOnScreen(window);
            return window;
        },
        [](usersys* window) { window->refreshlist(); });
}

usersys* usersys::instance() {
    return current_;
}

}  // namespace tessmar::ui
