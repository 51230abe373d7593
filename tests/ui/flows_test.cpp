// One flow per window through real mouse presses and key presses, as the administrator works: what
// only real widgets show (focus, key and mouse delivery, a grid that must not scroll away).
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "forms/main.h"
#include "platform/codepage.h"
#include "support/session.h"
#include "ui/picturebox.h"

using namespace tessmar;
using forms::WindowKind;
using test::child;

namespace {

bool activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// Typed text of any script, as a keyboard layout or an input method delivers it.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

}  // namespace

class FlowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;

    ui::Window* openMain() {
        session->program.openMain("C:\\WINDOWS");
        return session->window(WindowKind::Main);
    }
    const forms::Checklist& checklist() const {
        return static_cast<forms::MainForm*>(session->window(WindowKind::Main)->form())
            ->checklist();
    }

  private slots:
    void init() { session = std::make_unique<test::Session>(); }
    void cleanup() { session.reset(); }

    void gateVerifiesWithEnterTwiceOrEsc() {
        ui::Window* gate = session->open(WindowKind::Gate);
        QVERIFY(activate(gate));
        auto* box = child<QLineEdit>(gate, "Text2");
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(box, "x");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), gate->control("OKButton"));
        QVERIFY(session->messages.shown.empty());
        QTest::keyClick(gate->control("OKButton"), Qt::Key_Return);
        QCOMPARE(session->lastMessage(), QString("警告|密码有误，确定重输！"));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), box);
        // The close box is dead.
        QVERIFY(!gate->QWidget::close());
        QVERIFY(gate->isVisible());

        QTest::keyClick(box, Qt::Key_Escape);
        test::settle();
        QVERIFY(!session->window(WindowKind::Gate));
        QVERIFY(session->window(WindowKind::Main));
        QCOMPARE(session->read("vorn.ini"), std::string("\"\",\"C:\\WINDOWS\",,,,\"\",\r\n"));
    }

    void hoverFollowsThePointer() {
        ui::Window* window = openMain();
        auto frames = [&] {
            QString result;
            for (int i = 0; i < 5; ++i) {
                const QColor c =
                    child<ui::PictureBox>(window, QString("Picture3(%1)").arg(i))->backColor();
                result += c == QColor(255, 0, 0) ? 'R' : c == QColor(192, 192, 192) ? 'g' : '?';
            }
            return result;
        };
        auto* label3 = child<QLabel>(window, "Label3");
        test::moveOver(window->control("Command2(2)"));
        QCOMPARE(frames(), QString("ggRgg"));
        QCOMPARE(label3->text(), QString("--->“网络共享”设置"));
        // Labels and buttons on the background keep what the category button set.
        for (const char* over :
             {"Label1(0)", "Label2(2)", "Command1(1)", "Picture3(1)", "Image1"}) {
            test::moveOver(window->control(over));
            QCOMPARE(frames(), QString("ggRgg"));
        }
        test::moveOver(window->control("Command4(3)"));
        QCOMPARE(label3->text(), QString("---> “系统员密码设置”设置"));
        test::moveOver(window->control("Picture1"));
        QCOMPARE(frames(), QString("ggggg"));
        QVERIFY(label3->text().isEmpty());
        // A move with a mouse button held over a category button lights it all the same.
        test::mouse(window->control("Command2(1)"), QEvent::MouseMove, Qt::NoButton,
                    Qt::RightButton);
        QCOMPARE(frames(), QString("gRggg"));
    }

    void checklistChosenWithTheMouseAndApplied() {
        ui::Window* window = openMain();
        QTest::mouseClick(window->control("Command2(1)"), Qt::LeftButton);
        auto* grid = child<QTableWidget>(window, "Grid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->rowCount(), 21);

        // 全选 then 全否 walk all twenty rows without scrolling the list away.
        QTest::mouseClick(window->control("Command3(0)"), Qt::LeftButton);
        QTest::mouseClick(window->control("Command3(1)"), Qt::LeftButton);
        QCOMPARE(grid->verticalScrollBar()->value(), 0);
        // So a press where rows 2 and 3 stand chooses rows 2 and 3.
        test::pressCellAsShown(grid, 1, 1);
        test::pressCellAsShown(grid, 4, 0);
        test::pressCellAsShown(grid, 0, 1);  // the heading row
        QCOMPARE(grid->item(1, 2)->text(), QString(" √"));
        QCOMPARE(grid->item(4, 2)->text(), QString(" √"));
        QVERIFY(checklist().flags(1)[1] && checklist().flags(1)[4]);
        QCOMPARE(std::count(checklist().flags(1).begin(), checklist().flags(1).end(), true), 2);
        // A press with two buttons held does nothing.
        const QPoint at = grid->visualRect(grid->model()->index(5, 1)).center();
        test::mouse(grid->viewport(), QEvent::MouseButtonPress, Qt::LeftButton,
                    Qt::LeftButton | Qt::RightButton, at);
        QVERIFY(!checklist().flags(1)[5]);
        // A row far down is reached by scrolling; the press toggles the row pressed.
        test::pressCell(grid, 20, 2);
        QVERIFY(checklist().flags(1)[20]);

        // The right button on the two asterisk rows opens their windows.
        test::pressCell(grid, 2, 1, Qt::RightButton);
        test::pressCell(grid, 3, 1, Qt::RightButton);
        QVERIFY(session->window(WindowKind::Drives));
        QVERIFY(session->window(WindowKind::Notice));
        QVERIFY(!checklist().flags(1)[2]);

        QTest::mouseClick(window->control("Command5"), Qt::LeftButton);
        QCOMPARE(session->lastMessage(), QString("系统提示:|系统已成功地完成了“系统桌面”设置!"));
        QVERIFY(!grid->isVisible());
        const auto value = session->registry->queryValue(
            platform::RegRoot::CurrentUser,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
            "DisableRegistryTools");
        QVERIFY(value && value->data == std::vector<std::uint8_t>({1, 0, 0, 0}));
        QCOMPARE(session->read("vorn.ini"),
                 std::string(",\"C:\\WINDOWS\",,\"10010000000000000001\",,,\r\n"));
    }

    void customButtonWorksOnThePress() {
        session->makeUserDat({"甲", "乙", "丙"});
        ui::Window* window = openMain();
        test::mouse(window->control("Command2(4)"), QEvent::MouseButtonPress, Qt::LeftButton,
                    Qt::LeftButton);
        auto* grid = child<QTableWidget>(window, "Grid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->item(2, 1)->text(), QString("乙"));
        test::press(window->control("Command2(4)"), Qt::RightButton);
        QVERIFY(session->window(WindowKind::Editor));
    }

    void passwordChangedWithTheKeyboard() {
        session->write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
        ui::Window* window = session->open(WindowKind::Password);
        QVERIFY(activate(window));
        QCOMPARE(QApplication::focusWidget(), window->control("Command1(0)"));
        QWidget* first = window->control("Text1(0)");
        QWidget* again = window->control("Text1(1)");
        first->setFocus();
        QTest::keyClicks(first, " New pw ");
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), again);
        QTest::keyClicks(again, "New pw");
        QTest::keyClick(again, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), window->control("Command1(0)"));
        QTest::keyClick(window->control("Command1(0)"), Qt::Key_Return);
        QCOMPARE(session->lastMessage(), QString("系统提示:|口令修改成功!"));
        test::settle();
        QVERIFY(!session->window(WindowKind::Password));
        QCOMPARE(session->read("vorn.ini"),
                 std::string("\"\",\"C:\\WINDOWS\",\"New pw\",,,\"\",\"\"\r\n"));
    }

    void drivesTickedWithTheMouse() {
        ui::Window* window = session->open(WindowKind::Drives);
        QCOMPARE(session->read("drives.ini"), std::string("\"000000000000000\",\"\"\r\n"));
        QTest::mouseClick(window->control("Check1(2)"), Qt::LeftButton);
        QTest::mouseClick(window->control("Check1(3)"), Qt::LeftButton);
        QVERIFY(child<QCheckBox>(window, "Check1(3)")->isChecked());
        // Neither Enter nor Esc presses a button here.
        QWidget* confirm = window->control("Command1(2)");
        confirm->setFocus();
        QTest::keyClick(confirm, Qt::Key_Return);
        QTest::keyClick(confirm, Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QTest::mouseClick(confirm, Qt::LeftButton);
        test::settle();
        QVERIFY(!session->window(WindowKind::Drives));
        QCOMPARE(session->read("drives.ini"), std::string("\"001100000000000\",\" 12\"\r\n"));
        // Opening twice brings the one window forward.
        ui::Window* reopened = session->open(WindowKind::Drives);
        QCOMPARE(session->open(WindowKind::Drives), reopened);
        QVERIFY(child<QCheckBox>(reopened, "Check1(2)")->isChecked());
    }

    void noticeEnterStartsANewLine() {
        ui::Window* window = session->open(WindowKind::Notice);
        QVERIFY(activate(window));
        auto* title = child<QPlainTextEdit>(window, "Text1");
        auto* text = child<QPlainTextEdit>(window, "Text2");
        title->setFocus();
        typeText(title, "  通知  ");
        text->setFocus();
        typeText(text, "第一行");
        QTest::keyClick(text, Qt::Key_Return);
        typeText(text, "第二行");
        QVERIFY(session->window(WindowKind::Notice));
        QWidget* confirm = window->control("Command1(0)");
        confirm->setFocus();
        // Neither Enter nor Esc presses a button here.
        QTest::keyClick(confirm, Qt::Key_Return);
        QTest::keyClick(confirm, Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QTest::mouseClick(confirm, Qt::LeftButton);
        test::settle();
        QVERIFY(!session->window(WindowKind::Notice));
        // The file holds code page 936.
        QCOMPARE(session->read("logo.ini"),
                 *platform::toCp936("\"通知\",\"第一行\r\n第二行\"\r\n"));
    }

    void entryAddedThroughTheEditor() {
        session->makeUserDat({"甲"});
        ui::Window* window = session->open(WindowKind::Editor);
        QVERIFY(activate(window));
        QTest::mouseClick(window->control("Command2(0)"), Qt::LeftButton);
        QWidget* name = window->control("Text1(3)");
        QCOMPARE(QApplication::focusWidget(), name);
        typeText(name, "禁止任务管理器");
        QTest::keyClick(name, Qt::Key_Return);
        auto* root = child<QComboBox>(window, "Combo1");
        QVERIFY(QApplication::focusWidget() == root ||
                QApplication::focusWidget() == root->lineEdit());
        QTest::keyClick(root->lineEdit(), Qt::Key_Return);
        QWidget* key = window->control("Text1(0)");
        QTest::keyClicks(key, "Software\\Test");
        QTest::keyClick(key, Qt::Key_Return);
        QWidget* second = window->control("Text1(1)");
        QTest::keyClicks(second, "Sub");
        QTest::keyClick(second, Qt::Key_Return);
        auto* type = child<QComboBox>(window, "Combo2");
        // A key in the type box while it reads the delete type fills the value box.
        type->lineEdit()->selectAll();
        typeText(type->lineEdit(), "删除子项(U)");
        QVERIFY(child<QLineEdit>(window, "Text1(2)")->text().isEmpty());
        QTest::keyClick(type->lineEdit(), Qt::Key_Return);
        QCOMPARE(child<QLineEdit>(window, "Text1(2)")->text(), QString("删除子项(U)"));
        QCOMPARE(QApplication::focusWidget(), window->control("Command3"));
        QTest::mouseClick(window->control("Command3"), Qt::LeftButton);
        QCOMPARE(session->lastMessage(),
                 QString("系统提示|增加的内容要存盘(请确保输入的信息正确无误)吗？"));
        auto* list = child<QTableWidget>(window, "Grid1");
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(1, 0)->text(), QString("禁止任务管理器"));
        // A press on the first row loads that entry.
        test::pressCellAsShown(list, 0, 0);
        QCOMPARE(child<QLabel>(window, "Label1(5)")->text(), QString("甲"));
        QCOMPARE(child<QLineEdit>(window, "Text1(3)")->text(), QString("甲"));
    }

    // Runs the real event loop, so it comes last: closing main leaves the program running while the
    // password window is open, and it ends with that window.
    void programEndsWithItsLastWindow() {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        ui::Window* window = openMain();
        QTest::mouseClick(window->control("Command4(3)"), Qt::LeftButton);
        bool stillRunning = false;
        QTimer::singleShot(0, [&] { child<QPushButton>(window, "Command1(1)")->click(); });
        QTimer::singleShot(100, [&] {
            ui::Window* password = session->window(WindowKind::Password);
            stillRunning = !session->window(WindowKind::Main) && password && password->isVisible();
            if (password) password->QWidget::close();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        watchdog.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(stillRunning);
    }
};

QTEST_MAIN(FlowsTest)
#include "flows_test.moc"
