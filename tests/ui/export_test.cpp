// The export window through real mouse and key presses: opened from the main window's export
// button, a folder typed over the default one, exported, and the report listed.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "platform/files.h"
#include "support/session.h"

using namespace tessmar;
using forms::WindowKind;
using test::child;

class ExportTest : public QObject {
    Q_OBJECT

  private slots:
    void exportedWithTheMouseIntoATypedFolder() {
        test::Session session;
        session.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
        session.makeUserDat({"甲"});
        session.program.openMain("C:\\WINDOWS");
        ui::Window* main = session.window(WindowKind::Main);
        QVERIFY(main);
        QTest::mouseClick(main->control("Command8"), Qt::LeftButton);
        ui::Window* window = session.window(WindowKind::Export);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QString("组策略导出"));

        auto* folder = child<QLineEdit>(window, "Text1");
        QVERIFY(folder->text().endsWith(QString("组策略导出")));
        QTest::mouseClick(folder, Qt::LeftButton);
        QTest::keyClick(folder, Qt::Key_A, Qt::ControlModifier);
        const std::filesystem::path target = session.dir / "out";
        QTest::keyClicks(folder, QString::fromStdString(platform::pathText(target)));
        QTest::mouseClick(window->control("Command1(0)"), Qt::LeftButton);

        QCOMPARE(session.lastMessage(), QString("系统提示:|系统已成功地完成了组策略的导出!"));
        QVERIFY(std::filesystem::is_regular_file(target / "User" / "Registry.pol"));
        QVERIFY(std::filesystem::is_regular_file(target / "Machine" / "Registry.pol"));
        QVERIFY(std::filesystem::is_regular_file(target / "tessmar.reg"));
        auto* list = child<QTableWidget>(window, "Grid1");
        QVERIFY(list->rowCount() >= 3);
        QVERIFY(list->item(0, 0)->text().startsWith("已写入 "));
        QVERIFY(list->item(2, 0)->text().contains("tessmar.reg"));
        QCOMPARE(child<QLabel>(window, "Label1(4)")->text(), QString("导出的结果："));
        // Nothing reached this PC's registry.
        QVERIFY(!session.exists("registry.reg"));
    }
};

QTEST_MAIN(ExportTest)
#include "export_test.moc"
