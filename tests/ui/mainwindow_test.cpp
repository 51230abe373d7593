// The main window: its two views, hover feedback and the buttons around the checklist.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "support/session.h"
#include "ui/main.h"
#include "ui/picturebox.h"
#include "ui/pwsword.h"
#include "ui/usersys.h"

using namespace tessmar;
using test::child;

namespace {

const QStringList kChecklistControls{"Grid1",    "Command3(0)", "Command3(1)", "Command5",
                                     "Command6", "Label1(0)",   "Label2(1)",   "Label2(2)"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;
    ui::main* window = nullptr;

    QWidget* w(const QString& name) const { return child<QWidget>(window, name); }
    QString label3() const { return child<QLabel>(window, "Label3")->text(); }
    bool label3Shown() const { return child<QLabel>(window, "Label3")->isVisible(); }
    // "checklist", "idle", or which controls disagree.
    QString view() const {
        QStringList shown;
        for (const QString& name : kChecklistControls)
            if (w(name)->isVisible()) shown << name;
        if (shown.size() == kChecklistControls.size() && !label3Shown()) return "checklist";
        if (shown.isEmpty() && label3Shown()) return "idle";
        return "mixed: " + shown.join(',');
    }
    // One letter per frame: R lit, g grey, ? anything else.
    QString frames() const {
        QString result;
        for (int i = 0; i < 5; ++i) {
            const QColor c =
                child<ui::PictureBox>(window, QString("Picture3(%1)").arg(i))->backColor();
            result += c == QColor(255, 0, 0) ? 'R' : c == QColor(192, 192, 192) ? 'g' : '?';
        }
        return result;
    }

  private slots:
    void init() {
        session = std::make_unique<test::Session>();
        window = ui::main::open(session->context);
    }
    void cleanup() { session.reset(); }

    void opensIdleAndUnfilled() {
        QCOMPARE(view(), QString("idle"));
        QVERIFY(label3().isEmpty());
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w("client")->size(), QSize(593, 403));
        QCOMPARE(frames(), QString("ggggg"));
        QCOMPARE(window->shezhiflag(), 0);
        for (int c = 0; c < 5; ++c)
            QVERIFY(std::ranges::none_of(window->flags(c), [](bool f) { return f; }));
        QVERIFY(!session->exists("vorn.ini"));
    }

    void hoverLightsFramesAndDescribes() {
        const QString help = "---> “使用帮助”设置";
        struct Step {
            const char* over;
            QString frames, text;
        } steps[] = {
            {"Command2(2)", "ggRgg", "--->“网络共享”设置"},
            {"Command2(3)", "gggRg", "---> “文件菜单”设置"},
            {"Grid1", "gggRg", "---> “文件菜单”设置"},
            {"Label2(2)", "gggRg", "---> “文件菜单”设置"},
            {"Command5", "gggRg", "---> “文件菜单”设置"},
            {"Picture3(1)", "gggRg", "---> “文件菜单”设置"},
            {"Command4(2)", "gggRg", help},
            {"Command4(3)", "gggRg", "---> “系统员密码设置”设置"},
            {"Picture2(0)", "ggggg", ""},
            {"Command2(0)", "Rgggg", "--->“IE 属性”设置"},
            {"Picture2(1)", "ggggg", ""},
            {"Command2(4)", "ggggR", "--->“自定功能”设置"},
            {"Picture1", "ggggg", ""},
            {"Command2(1)", "gRggg", "--->“系统桌面”设置"},
        };
        for (const Step& step : steps) {
            test::moveOver(w(step.over));
            QCOMPARE(frames(), step.frames);
            QCOMPARE(label3(), step.text);
        }
    }

    // In the checklist view the moves reach the widgets the window system would give them.
    void hoverInTheChecklistViewLeavesALitFrameAlone() {
        QTest::mouseClick(w("Command2(3)"), Qt::LeftButton);
        QCOMPARE(view(), QString("checklist"));
        test::moveOver(w("Command2(3)"));
        QCOMPARE(frames(), QString("gggRg"));
        auto* grid = child<QTableWidget>(window, "Grid1");
        for (QWidget* over : {grid->viewport(), grid->horizontalHeader()->viewport(),
                              w("Label1(0)"), w("Label2(1)"), w("Command3(0)"), w("Command6"),
                              w("Command1(1)"), w("Picture3(2)")}) {
            test::moveOver(over);
            QCOMPARE(frames(), QString("gggRg"));
        }
        // A move with a mouse button held over a category button lights it all the same.
        test::mouse(w("Command2(1)"), QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
        QCOMPARE(frames(), QString("gRggg"));
        QCOMPARE(label3(), QString("--->“系统桌面”设置"));
    }

    void categoryButtonShowsChecklistAndLeaveKeepsEverything() {
        QTest::mouseClick(w("Command2(1)"), Qt::LeftButton);
        QCOMPARE(view(), QString("checklist"));
        QCOMPARE(window->shezhiflag(), 1);
        // Made the way a category button makes it: only the Windows directory set.
        const std::string made = ",\"C:\\WINDOWS\",,,,,\r\n";
        QCOMPARE(session->read("vorn.ini"), made);

        test::pressCell(child<QTableWidget>(window, "Grid1"), 1, 1);
        QTest::mouseClick(w("Command6"), Qt::LeftButton);
        QCOMPARE(view(), QString("idle"));
        QCOMPARE(window->shezhiflag(), 1);
        QVERIFY(window->flags(1)[1]);
        QCOMPARE(session->read("vorn.ini"), made);
        QVERIFY(!session->exists("registry.reg"));
    }

    void applyStoresAndReturnsToIdle() {
        session->write("vorn.ini", "\"\",\"D:\\WIN\",\"pw\",,,\"\",\r\n");
        session->context.windir = "elsewhere";
        QTest::mouseClick(w("Command2(2)"), Qt::LeftButton);
        test::pressCell(child<QTableWidget>(window, "Grid1"), 2, 2);
        QTest::mouseClick(w("Command5"), Qt::LeftButton);
        QCOMPARE(view(), QString("idle"));
        QCOMPARE(session->read("vorn.ini"),
                 std::string("\"\",\"D:\\WIN\",\"pw\",,\"01000\",\"\",\r\n"));
        QCOMPARE(session->context.windir, std::string("D:\\WIN"));
        QCOMPARE(session->lastMessage(), QString("系统提示:|系统已成功地完成了“网络共享”设置!"));
        QVERIFY(session->exists("registry.reg"));
    }

    void anyPressOnACategoryButtonHidesTheDescription() {
        test::press(w("Command2(1)"), Qt::RightButton);
        QVERIFY(!label3Shown());
        QVERIFY(!w("Grid1")->isVisible());
        test::moveOver(w("Command2(0)"));
        QCOMPARE(frames(), QString("Rgggg"));
        QVERIFY(!label3Shown());

        test::press(w("Command2(4)"), Qt::RightButton);
        QVERIFY(ui::usersys::instance());
        QVERIFY(!w("Grid1")->isVisible());
    }

    void unreadableSettingsChangeNothing() {
        const std::string broken = "\"1111111\",\"C:\\WINDOWS\"\r\n";
        session->write("vorn.ini", broken);
        QTest::mouseClick(w("Command2(0)"), Qt::LeftButton);
        QCOMPARE(session->messages.shown.size(), std::size_t(1));
        QCOMPARE(session->messages.shown[0].title, std::string("系统提示:"));
        QVERIFY(!w("Grid1")->isVisible());
        QCOMPARE(session->read("vorn.ini"), broken);

        // Damaged between the fill and the apply: the toggled choice stays on screen.
        session->write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
        QTest::mouseClick(w("Command2(0)"), Qt::LeftButton);
        test::pressCell(child<QTableWidget>(window, "Grid1"), 3, 1);
        session->write("vorn.ini", broken);
        QTest::mouseClick(w("Command5"), Qt::LeftButton);
        QCOMPARE(session->messages.shown.size(), std::size_t(2));
        QCOMPARE(view(), QString("checklist"));
        QVERIFY(window->flags(0)[3]);
        QCOMPARE(session->read("vorn.ini"), broken);
        QVERIFY(!session->exists("registry.reg"));
    }

    void helpAndPasswordButtons() {
        session->context.dir = session->dir.string() + "  ";
        QTest::mouseClick(w("Command4(2)"), Qt::LeftButton);
        QCOMPARE(session->shell.opened, std::vector{session->dir / "help.htm"});

        QTest::mouseClick(w("Command4(3)"), Qt::LeftButton);
        ui::pwsword* first = ui::pwsword::instance();
        QVERIFY(first && first->isVisible());
        QTest::mouseClick(w("Command4(3)"), Qt::LeftButton);
        QCOMPARE(ui::pwsword::instance(), first);
    }

    // Runs the real event loop, so it comes last: closing main leaves the program running while the
    // password window is open, and it ends with that window.
    void programEndsWithItsLastWindow() {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        QTest::mouseClick(w("Command4(3)"), Qt::LeftButton);
        bool stillRunning = false;
        QTimer::singleShot(0, [&] { child<QPushButton>(window, "Command1(1)")->click(); });
        QTimer::singleShot(100, [&] {
            stillRunning = ui::main::instance() == nullptr && ui::pwsword::instance() &&
                           ui::pwsword::instance()->isVisible();
            ui::pwsword::instance()->close();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        watchdog.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(stillRunning);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
