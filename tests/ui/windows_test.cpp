// Every window as the controls tables give it: each control there, by its name, at its twips, with
// its caption and tooltip; and the windows' own frames.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "forms/layout.h"
#include "support/session.h"
#include "ui/style.h"

using namespace tessmar;
using test::child;

class WindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;

    ui::Window* open(forms::WindowKind kind) {
        if (kind == forms::WindowKind::Main) {
            session->program.openMain("C:\\WINDOWS");
            return session->window(kind);
        }
        return session->open(kind);
    }

  private slots:
    void init() {
        session = std::make_unique<test::Session>();
        session->makeUserDat({"甲", "乙"});
    }
    void cleanup() { session.reset(); }

    void controlsStandWhereTheTablesPutThem() {
        for (forms::WindowKind kind : forms::kAllWindows) {
            const forms::WindowLayout& layout = forms::layoutOf(kind);
            ui::Window* window = open(kind);
            QVERIFY(window);
            QCOMPARE(window->objectName(),
                     QString::fromUtf8(layout.name.data(), layout.name.size()));
            QCOMPARE(window->windowTitle().toStdString(), std::string(layout.caption));
            const QSize client(ui::twips(layout.clientWidth), ui::twips(layout.clientHeight));
            QCOMPARE(child<QWidget>(window, "client")->size(), client);
            for (const forms::Control& control : layout.controls) {
                const QString name = QString::fromUtf8(control.name.data(), control.name.size());
                QWidget* widget = window->control(control.name);
                QVERIFY2(widget, qPrintable(name));
                QCOMPARE(widget->objectName(), name);
                QCOMPARE(widget->geometry(),
                         ui::twipsRect(control.place.left, control.place.top, control.place.width,
                                       control.place.height));
                const QString parent = widget->parentWidget()->objectName();
                QCOMPARE(parent.toStdString(), control.parent.empty()
                                                   ? std::string("client")
                                                   : std::string(control.parent));
                QCOMPARE(widget->toolTip().toStdString(), std::string(control.tooltip));
                if (auto* button = qobject_cast<QAbstractButton*>(widget))
                    QCOMPARE(button->text().toStdString(), std::string(control.caption));
                // A label the table leaves empty is the form's to fill when the window loads.
                if (auto* label = qobject_cast<QLabel*>(widget); label && !control.caption.empty())
                    QCOMPARE(label->text().toStdString(), std::string(control.caption));
                if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                    QCOMPARE(combo->count(), static_cast<int>(control.items.size()));
                    for (int i = 0; i < combo->count(); ++i)
                        QCOMPARE(combo->itemText(i).toStdString(), std::string(control.items[i]));
                }
                QCOMPARE(widget->isVisibleTo(window), control.visible);
            }
        }
    }

    void framesOfTheWindows() {
        ui::Window* main = open(forms::WindowKind::Main);
        QVERIFY(main->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(main->size(), QSize(593 + 2, 403 + 2));

        ui::Window* gate = open(forms::WindowKind::Gate);
        QVERIFY(!(gate->windowFlags() & Qt::WindowCloseButtonHint));
        // Kept out of the task bar as a tool window, yet counted as an open window of the program.
        QCOMPARE(gate->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(gate->testAttribute(Qt::WA_QuitOnClose));
        auto* box = child<QLineEdit>(gate, "Text2");
        QCOMPARE(box->maxLength(), 25);
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        QCOMPARE(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box), '*');

        for (forms::WindowKind kind : {forms::WindowKind::Password, forms::WindowKind::Drives,
                                       forms::WindowKind::Notice, forms::WindowKind::Editor}) {
            ui::Window* side = open(kind);
            QVERIFY(side->windowFlags() & Qt::WindowCloseButtonHint);
            QVERIFY(!(side->windowFlags() & Qt::WindowMaximizeButtonHint));
            QVERIFY(!(side->windowFlags() & Qt::WindowMinimizeButtonHint));
        }
    }

    void checklistGridHasItsColumnsAndFixedRow() {
        ui::Window* main = open(forms::WindowKind::Main);
        QTest::mouseClick(main->control("Command2(2)"), Qt::LeftButton);
        auto* grid = child<QTableWidget>(main, "Grid1");
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(grid->columnWidth(0), ui::twips(440));
        QCOMPARE(grid->columnWidth(1), ui::twips(4170));
        QCOMPARE(grid->columnWidth(2), ui::twips(440));
        QCOMPARE(grid->rowCount(), 6);
        QVERIFY(grid->isRowHidden(0));
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("序号"));
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("选取"));
        QCOMPARE(grid->item(1, 1)->background().color(), QColor(192, 255, 192));
        QCOMPARE(grid->item(1, 1)->foreground().color(), QColor(0, 0, 255));
    }

    // The focus chain is a ring: each control's successor by Tab, skipping what takes no focus.
    static QWidget* nextByTab(QWidget* from) {
        QWidget* w = from->nextInFocusChain();
        // A combo box's line edit is part of the combo box.
        while (w != from &&
               ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || from->isAncestorOf(w)))
            w = w->nextInFocusChain();
        return w;
    }

    void tabOrderFollowsTheTables() {
        for (forms::WindowKind kind : forms::kAllWindows) {
            const forms::WindowLayout& layout = forms::layoutOf(kind);
            ui::Window* window = open(kind);
            std::vector<std::pair<int, std::string_view>> order;
            for (const forms::Control& control : layout.controls)
                if (control.tab >= 0) order.push_back({control.tab, control.name});
            std::sort(order.begin(), order.end());
            for (std::size_t i = 0; i < order.size(); ++i) {
                QWidget* from = window->control(order[i].second);
                QWidget* to = window->control(order[(i + 1) % order.size()].second);
                QCOMPARE(nextByTab(from), to);
            }
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
