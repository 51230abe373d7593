#include "ui/window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFontInfo>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTableWidget>
#include <optional>

#include "ui/picturebox.h"
#include "ui/style.h"

namespace tessmar::ui {
namespace {

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor colour(forms::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

QRect placeOf(const forms::Control& control) {
    return twipsRect(control.place.left, control.place.top, control.place.width,
                     control.place.height);
}

QString artPath(std::string_view picture) {
    return QStringLiteral(":/art/%1.svg").arg(q(picture));
}

// A graphical button whose caption wraps onto several lines when the button is narrow.
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

// A password shows as asterisks. A style rather than a style sheet: the sheet's own style costs
// the gate a millisecond or two before it can show.
class AsteriskStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

QStyle* asteriskStyle() {
    // One for every password box, kept by the application: a widget does not own its style.
    static QPointer<QStyle> style;
    if (!style) {
        style = new AsteriskStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

void colourText(QWidget* widget, const QColor& c) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, c);
    palette.setColor(QPalette::Text, c);
    widget->setPalette(palette);
}

QString buttonStyle(const forms::Control& control) {
    if (control.flat) return QStringLiteral("QPushButton { border: none; padding: 0px; }");
    if (!control.graphical || !control.back) return {};
    const forms::Rgb b = *control.back;
    return QStringLiteral(
               "QPushButton { background-color: %1; border: 2px outset %2; padding: 0px; }"
               "QPushButton:pressed { border-style: inset; }"
               "QPushButton:focus { border-color: %3; }"
               "QPushButton:disabled { color: gray; }")
        .arg(rgb(b.r, b.g, b.b), rgb(b.r * 5 / 6, b.g * 5 / 6, b.b * 5 / 6),
             rgb(b.r / 3, b.g / 2, b.b / 3));
}

QTableWidget* makeGrid(const forms::GridSpec& shape, QWidget* parent) {
    auto* grid = new QTableWidget(0, static_cast<int>(shape.columnTwips.size()), parent);
    const int rowHeight = shape.rowTwips > 0 ? twips(shape.rowTwips) : 18;
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* header = grid->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    // The fixed heading row is the horizontal header, so it stays put when the rows scroll.
    if (shape.fixedRows > 0)
        header->setFixedHeight(rowHeight);
    else
        header->hide();
    for (std::size_t c = 0; c < shape.columnTwips.size(); ++c)
        grid->setColumnWidth(static_cast<int>(c), twips(shape.columnTwips[c]));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(shape.fixedRows > 0 ? QAbstractItemView::NoSelection
                                               : QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    // Making a cell current must never scroll the rows away from under the pointer.
    grid->setAutoScroll(false);
    if (shape.outside) {
        QPalette outside = grid->palette();
        outside.setColor(QPalette::Base, colour(*shape.outside));
        grid->setPalette(outside);
    }
    return grid;
}

// The key as the forms know it; nullopt for one that never reaches them.
std::optional<forms::Key> keyOf(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return forms::Key::Enter;
    if (key.key() == Qt::Key_Escape) return forms::Key::Escape;
    if (!key.text().isEmpty()) return forms::Key::Character;
    return std::nullopt;
}

forms::Button buttonOf(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return forms::Button::Left;
    if (button == Qt::RightButton) return forms::Button::Right;
    return forms::Button::Other;
}

}  // namespace

Window::Window(forms::WindowKind kind) : kind_(kind), layout_(forms::layoutOf(kind)) {
    setObjectName(q(layout_.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(q(layout_.caption));
    setFont(songti(9));
    Qt::WindowFlags flags = layout_.taskbar ? Qt::Window : Qt::Tool;
    switch (layout_.border) {
        case forms::Border::Thin:
            flags |= Qt::FramelessWindowHint;
            break;
        case forms::Border::FixedDialog:
            flags |=
                Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
            break;
        case forms::Border::FixedSingle:
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint;
            break;
    }
    setWindowFlags(flags);
    // A tool window still counts as an open window of the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    build();
}

void Window::build() {
    const QSize area(twips(layout_.clientWidth), twips(layout_.clientHeight));
    // A thin border is one pixel drawn around the client area.
    const int border = layout_.border == forms::Border::Thin ? 1 : 0;
    setFixedSize(area + QSize(2 * border, 2 * border));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setGeometry(QRect(QPoint(border, border), area));
    if (border) {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setGeometry(rect());
        frame->lower();
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    client_->setMouseTracking(true);
    client_->installEventFilter(this);
    sources_.insert(client_, nullptr);

    QList<QPair<int, QWidget*>> tabOrder;
    for (const forms::Control& control : layout_.controls) {
        QWidget* parent = control.parent.empty() ? client_ : controls_.value(q(control.parent));
        QWidget* widget = make(control, parent ? parent : client_);
        widget->setObjectName(q(control.name));
        widget->setGeometry(placeOf(control));
        if (!control.tooltip.empty()) widget->setToolTip(q(control.tooltip));
        if (control.fore) colourText(widget, colour(*control.fore));
        widget->setVisible(control.visible);
        controls_.insert(q(control.name), widget);
        track(widget, control);
        if (control.tab >= 0) tabOrder.append({control.tab, widget});
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    for (const forms::Control& control : layout_.controls)
        if (control.tab < 0)
            if (QWidget* widget = controls_.value(q(control.name)))
                if (widget->focusPolicy() != Qt::NoFocus && control.kind != forms::Kind::Grid)
                    widget->setFocusPolicy(Qt::ClickFocus);
    if (!layout_.focus.empty())
        if (QWidget* first = controls_.value(q(layout_.focus))) first->setFocus();
}

QWidget* Window::make(const forms::Control& control, QWidget* parent) {
    const QFont font = fontOf(control.font);
    switch (control.kind) {
        case forms::Kind::Frame: {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            return frame;
        }
        case forms::Kind::PictureBox:
        case forms::Kind::Image: {
            auto* box = new PictureBox(
                control.picture.empty() ? QString() : artPath(control.picture), parent);
            if (control.back) box->setBackColor(colour(*control.back));
            box->setAutoFillBackground(control.kind == forms::Kind::PictureBox);
            return box;
        }
        case forms::Kind::Button:
        case forms::Kind::PictureButton: {
            QPushButton* button = control.graphical && control.kind == forms::Kind::Button
                                      ? new WrappingButton(q(control.caption), parent)
                                      : new QPushButton(q(control.caption), parent);
            button->setFont(font);
            if (!control.picture.empty()) {
                button->setIcon(QIcon(artPath(control.picture)));
                const QRect place = placeOf(control);
                button->setIconSize(control.caption.empty() ? place.size() - QSize(4, 4)
                                                            : QSize(16, 16));
            }
            button->setStyleSheet(buttonStyle(control));
            button->setAutoDefault(layout_.enterPressesButtons);
            connect(button, &QPushButton::clicked, this, [this, name = control.name] {
                if (form_) form_->click(name);
            });
            return button;
        }
        case forms::Kind::Label: {
            QLabel* label = control.vertical ? new ColumnLabel(q(control.caption), parent)
                                             : new QLabel(q(control.caption), parent);
            label->setFont(font);
            label->setWordWrap(control.wrap);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case forms::Kind::TextBox: {
            if (control.multiLine) {
                auto* box = new QPlainTextEdit(parent);
                box->setFont(font);
                box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                box->setTabChangesFocus(true);
                box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                return box;
            }
            auto* box = new QLineEdit(parent);
            box->setFont(font);
            if (control.password) {
                box->setEchoMode(QLineEdit::Password);
                box->setStyle(asteriskStyle());
            }
            if (control.maxLength > 0) box->setMaxLength(control.maxLength);
            return box;
        }
        case forms::Kind::CheckBox: {
            auto* box = new QCheckBox(parent);
            connect(box, &QCheckBox::clicked, this, [this, name = control.name] {
                if (form_) form_->click(name);
            });
            return box;
        }
        case forms::Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            if (control.dropList) {
                // A list to choose from: the form hears of a choice the administrator made, not
                // of the items it sets itself.
                combo->setFont(font);
                connect(combo, &QComboBox::activated, this, [this, name = control.name](int) {
                    if (form_) form_->click(name);
                });
                return combo;
            }
            combo->setEditable(true);
            for (std::string_view item : control.items) combo->addItem(q(item));
            // What is typed stays as typed: no item is added on Enter, nothing is completed, and
            // only an exact (case-sensitive) match selects a list item.
            combo->setInsertPolicy(QComboBox::NoInsert);
            auto* completer = new QCompleter(QStringList{}, combo);
            completer->setCaseSensitivity(Qt::CaseSensitive);
            combo->setCompleter(completer);
            combo->setCurrentIndex(-1);
            combo->clearEditText();
            return combo;
        }
        case forms::Kind::Grid: {
            QTableWidget* grid = makeGrid(control.grid.value_or(forms::GridSpec{}), parent);
            grid->setFont(font);
            return grid;
        }
        case forms::Kind::Line: {
            auto* line = new QFrame(parent);
            const forms::Rgb c = control.fore.value_or(forms::Rgb{128, 128, 128});
            line->setStyleSheet(QStringLiteral("background-color: %1;").arg(rgb(c.r, c.g, c.b)));
            return line;
        }
    }
    return new QWidget(parent);
}

void Window::track(QWidget* widget, const forms::Control& control) {
    // Every control reports the moves over it, and none reaches the control behind it: a move
    // over a label or a button must not count as a move over the picture box it stands on.
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->installEventFilter(this);
    sources_.insert(widget, &control);
    // The parts of a compound control that receive its events report them as the control's.
    QList<QWidget*> parts;
    if (auto* grid = qobject_cast<QTableWidget*>(widget))
        parts = {grid->viewport(), grid->horizontalHeader()->viewport()};
    else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        parts = {combo->lineEdit()};
    else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        parts = {box->viewport()};
    for (QWidget* part : parts) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
        sources_.insert(part, &control);
    }
}

QWidget* Window::control(std::string_view name) const {
    return controls_.value(q(name));
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
    const auto found = sources_.constFind(watched);
    if (found == sources_.constEnd() || !form_) return QWidget::eventFilter(watched, event);
    const forms::Control* source = *found;
    // The window's own background has the empty name.
    const forms::Id id = source ? source->name : forms::Id();
    auto* grid = qobject_cast<QTableWidget*>(control(id));

    switch (event->type()) {
        case QEvent::MouseMove:
            form_->mouseMove(id);
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            // A press of two buttons at once does nothing.
            if (mouse->buttons() != mouse->button()) return true;
            int row = -1;
            if (grid && watched == grid->viewport())
                row = grid->rowAt(mouse->position().toPoint().y());
            else if (grid && watched == grid->horizontalHeader()->viewport())
                row = 0;
            form_->mouseDown(id, buttonOf(mouse->button()), row);
            // A grid's presses belong to the form alone; a button still clicks.
            return grid != nullptr;
        }
        case QEvent::KeyPress: {
            const std::optional<forms::Key> key = keyOf(*static_cast<QKeyEvent*>(event));
            return key && form_->key(id, *key);
        }
        case QEvent::InputMethod:
            // Characters typed through an input method arrive as one committed text.
            if (!static_cast<QInputMethodEvent*>(event)->commitString().isEmpty())
                form_->key(id, forms::Key::Character);
            return false;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void Window::keyPressEvent(QKeyEvent* event) {
    // As in the Windows program, a key with no control focused reaches the form with no name;
    // one a control let pass has been offered to the form already.
    const std::optional<forms::Key> key = keyOf(*event);
    QWidget* focus = QApplication::focusWidget();
    if (key && form_ && (!focus || focus == this) && form_->key({}, *key)) return;
    QWidget::keyPressEvent(event);
}

void Window::closeEvent(QCloseEvent* event) {
    if (!closingByForm_ && form_ && !form_->closing()) {
        event->ignore();
        return;
    }
    event->accept();
    // Nothing reaches the form from a closed window.
    form_ = nullptr;
    emit closed();
}

void Window::setText(forms::Id name, std::string_view text) {
    QWidget* widget = control(name);
    const QString shown = q(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(shown);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(shown);
        // A long text is read from its beginning, as a freshly filled box shows it.
        line->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        box->setPlainText(shown);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable()) {
        if (shown.isEmpty()) {
            combo->setCurrentIndex(-1);
            combo->clearEditText();
        } else {
            combo->setEditText(shown);
            combo->lineEdit()->setCursorPosition(0);
        }
    }
}

std::string Window::text(forms::Id name) const {
    QWidget* widget = control(name);
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(widget))
        shown = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        shown = button->text();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        shown = line->text();
    else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        shown = box->toPlainText();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        shown = combo->currentText();
    return shown.toStdString();
}

void Window::setEnabled(forms::Id name, bool enabled) {
    if (QWidget* widget = control(name)) widget->setEnabled(enabled);
}

bool Window::enabled(forms::Id name) const {
    QWidget* widget = control(name);
    return widget && widget->isEnabled();
}

void Window::setVisible(forms::Id name, bool visible) {
    if (QWidget* widget = control(name)) widget->setVisible(visible);
}

void Window::setChecked(forms::Id name, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(control(name))) box->setChecked(checked);
}

bool Window::checked(forms::Id name) const {
    auto* box = qobject_cast<QAbstractButton*>(control(name));
    return box && box->isChecked();
}

void Window::setBackColor(forms::Id name, forms::Rgb c) {
    if (auto* box = qobject_cast<PictureBox*>(control(name))) box->setBackColor(colour(c));
}

void Window::setFocus(forms::Id name) {
    QWidget* widget = control(name);
    if (widget && widget->isEnabled() && widget->isVisibleTo(this))
        widget->setFocus(Qt::OtherFocusReason);
}

void Window::setGridRows(forms::Id name, const std::vector<std::vector<std::string>>& rows) {
    auto* grid = qobject_cast<QTableWidget*>(control(name));
    const forms::Control* shape = forms::findControl(layout_, name);
    if (!grid || !shape || !shape->grid) return;
    const forms::GridSpec& g = *shape->grid;
    grid->clearContents();
    grid->setRowCount(static_cast<int>(rows.size()));
    const QPalette& system = palette();
    for (int row = 0; row < grid->rowCount(); ++row) {
        const auto& cells = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < grid->columnCount(); ++column) {
            const std::string empty;
            const std::string& text =
                static_cast<std::size_t>(column) < cells.size() ? cells[column] : empty;
            auto* item = new QTableWidgetItem(q(text));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            // The heading row and column are the grid's fixed cells, in the system's colours.
            const bool fixed = row < g.fixedRows || column < g.fixedColumns;
            if (fixed) {
                item->setBackground(system.button());
                item->setForeground(system.buttonText());
            } else {
                if (g.cellBack) item->setBackground(colour(*g.cellBack));
                if (g.cellText) item->setForeground(colour(*g.cellText));
            }
            if (g.fixedColumns > 0)
                item->setTextAlignment(column == 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                                   : Qt::AlignCenter);
            if (row < g.fixedRows) grid->setHorizontalHeaderItem(column, item->clone());
            grid->setItem(row, column, item);
        }
    }
    // The fixed row keeps its cells, for reading, but only the header shows them.
    for (int row = 0; row < g.fixedRows && row < grid->rowCount(); ++row)
        grid->setRowHidden(row, true);
    grid->scrollToTop();
}

void Window::setCell(forms::Id name, int row, int column, std::string_view text) {
    auto* grid = qobject_cast<QTableWidget*>(control(name));
    if (!grid) return;
    if (QTableWidgetItem* item = grid->item(row, column)) item->setText(q(text));
}

void Window::setCurrentCell(forms::Id name, int row, int column) {
    auto* grid = qobject_cast<QTableWidget*>(control(name));
    if (!grid) return;
    // autoScroll is off, so the rows under the pointer stay where they are.
    const int vertical = grid->verticalScrollBar()->value();
    grid->setCurrentCell(row, column);
    grid->verticalScrollBar()->setValue(vertical);
}

void Window::setCellNote(forms::Id name, int row, int column, std::optional<forms::Rgb> back,
                         std::string_view tip) {
    auto* grid = qobject_cast<QTableWidget*>(control(name));
    QTableWidgetItem* item = grid ? grid->item(row, column) : nullptr;
    const forms::Control* shape = forms::findControl(layout_, name);
    if (!item || !shape || !shape->grid) return;
    if (back)
        item->setBackground(colour(*back));
    else if (shape->grid->cellBack)
        item->setBackground(colour(*shape->grid->cellBack));
    else
        item->setBackground(QBrush());
    item->setToolTip(q(tip));
}

void Window::setListItems(forms::Id name, const std::vector<forms::ListItem>& items) {
    auto* combo = qobject_cast<QComboBox*>(control(name));
    if (!combo) return;
    const QSignalBlocker quiet(combo);
    combo->clear();
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    int widest = 0;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const forms::ListItem& item = items[static_cast<std::size_t>(i)];
        combo->addItem(q(item.text));
        combo->setItemData(i, q(item.tip), Qt::ToolTipRole);
        if (!item.enabled && model) model->item(i)->setEnabled(false);
        widest = std::max(widest, combo->fontMetrics().horizontalAdvance(q(item.text)));
    }
    // The box may be narrower than its longest item; the open list shows every item whole.
    combo->view()->setMinimumWidth(widest + combo->fontMetrics().averageCharWidth() * 4);
    combo->setCurrentIndex(-1);
}

void Window::setListIndex(forms::Id name, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control(name))) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index);
    }
}

int Window::listIndex(forms::Id name) const {
    auto* combo = qobject_cast<QComboBox*>(control(name));
    return combo ? combo->currentIndex() : -1;
}

void Window::close() {
    closingByForm_ = true;
    QWidget::close();
}

}  // namespace tessmar::ui
