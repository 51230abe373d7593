// The history window as the administrator reaches it: an apply, the history button, a press on the
// record, and a restore confirmed with OK.
#include <QPushButton>

#include "engine/mainreg.h"
#include "support/session.h"

using namespace tessmar;
using forms::WindowKind;
using test::child;

namespace {
const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
}

class HistoryFlowTest : public QObject {
    Q_OBJECT

  private slots:
    void anApplyIsRestoredFromTheHistoryWindow() {
        test::Session session;
        QVERIFY(engine::setdword(*session.registry, platform::RegRoot::CurrentUser, kExplorer,
                                 "norun", 0));
        session.program.openMain("C:\\WINDOWS");
        ui::Window* main = session.window(WindowKind::Main);
        QTest::mouseClick(main->control("Command2(3)"), Qt::LeftButton);
        test::pressCellAsShown(child<QTableWidget>(main, "Grid1"), 1, 2);
        QTest::mouseClick(main->control("Command5"), Qt::LeftButton);
        const platform::RegValue one{platform::RegType::Dword, {1, 0, 0, 0}};
        QCOMPARE(session.registry->queryValue(platform::RegRoot::CurrentUser, kExplorer, "norun"),
                 std::optional(one));

        QTest::mouseClick(main->control("Command7"), Qt::LeftButton);
        ui::Window* window = session.window(WindowKind::History);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("设置历史与恢复"));
        auto* list = child<QTableWidget>(window, "Grid1");
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QString("设置类别"));
        auto* restore = child<QPushButton>(window, "Command1(0)");
        QVERIFY(!restore->isEnabled());

        test::pressCellAsShown(list, 1, 1);
        auto* changes = child<QTableWidget>(window, "Grid2");
        QVERIFY(changes->rowCount() > 1);
        // The place is shortened to its column; its tip holds it whole.
        QCOMPARE(changes->item(1, 0)->text(), QString("HKEY_CURRENT_USER\\…\\Explorer\\norun"));
        QCOMPARE(changes->item(1, 0)->toolTip(),
                 QString::fromStdString("HKEY_CURRENT_USER\\" + kExplorer + "\\norun"));
        QCOMPARE(changes->item(1, 2)->toolTip(), changes->item(1, 2)->text());
        QVERIFY(restore->isEnabled());

        QTest::mouseClick(restore, Qt::LeftButton);  // the question answered with OK
        QCOMPARE(session.lastMessage(), QString("系统提示:|系统已成功地完成了注册表的恢复!"));
        const platform::RegValue zero{platform::RegType::Dword, {0, 0, 0, 0}};
        QCOMPARE(session.registry->queryValue(platform::RegRoot::CurrentUser, kExplorer, "norun"),
                 std::optional(zero));
        QCOMPARE(list->rowCount(), 3);
        QVERIFY(list->item(1, 1)->text().startsWith("恢复“文件菜单”"));
        QCOMPARE(restore->text(), QString("撤销这次恢复"));
    }
};

QTEST_MAIN(HistoryFlowTest)
#include "history_test.moc"
