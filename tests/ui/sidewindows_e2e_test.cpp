// From the main window through each side window to the registry: open it by a right press, edit,
// confirm, choose its item, apply, and read the values back from registry.reg.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/codepage.h"
#include "side_fixture.h"
#include "ui/drives.h"
#include "ui/logo.h"
#include "ui/main.h"
#include "ui/usersys.h"

using namespace tessmar;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using test::child;

namespace {

const char* const kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char* const kWinlogon = "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon";

RegValue sz(const std::string& utf8) {
    const std::string bytes = platform::toCp936(utf8).value();
    RegValue value{RegType::Sz, {bytes.begin(), bytes.end()}};
    value.data.push_back(0);
    return value;
}

}  // namespace

class SideWindowsEndToEndTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SideFixture> session;
    ui::main* window = nullptr;
    QTableWidget* grid = nullptr;

    void show(int category) {
        test::press(child<QWidget>(window, QString("Command2(%1)").arg(category)), Qt::LeftButton);
    }
    void apply() {
        child<QPushButton>(window, "Command5")->click();
        QCOMPARE(session->lastMessage().section('|', 0, 0), QString("系统提示:"));
        QVERIFY(session->lastMessage().contains("系统已成功地完成了"));
    }
    // Read back through a registry of its own, as another program would.
    std::optional<RegValue> stored(RegRoot root, const std::string& key, const std::string& name) {
        return platform::makeFileRegistry(session->dir / "registry.reg")
            ->queryValue(root, key, name);
    }

  private slots:
    void initTestCase() { Q_INIT_RESOURCE(art); }
    void init() {
        session = std::make_unique<test::SideFixture>();
        window = ui::main::open(session->context);
        grid = child<QTableWidget>(window, "Grid1");
    }
    void cleanup() { session.reset(); }

    void hiddenDrivesReachNoDrives() {
        show(1);
        test::pressCell(grid, 2, 1, Qt::RightButton);
        ui::drives* drives = ui::drives::instance();
        QVERIFY(drives);
        child<QCheckBox>(drives, "Check1(2)")->setChecked(true);
        child<QCheckBox>(drives, "Check1(3)")->setChecked(true);
        child<QPushButton>(drives, "Command1(2)")->click();
        test::settle();
        QVERIFY(!ui::drives::instance());

        test::pressCell(grid, 2, 1);
        apply();
        QCOMPARE(stored(RegRoot::CurrentUser, kExplorer, "NoDrives"),
                 std::optional(RegValue{RegType::Binary, {12, 0, 0, 0}}));
    }

    void logonNoticeReachesWinlogon() {
        show(1);
        test::pressCell(grid, 3, 1, Qt::RightButton);
        ui::logo* notice = ui::logo::instance();
        QVERIFY(notice);
        child<QPlainTextEdit>(notice, "Text1")->setPlainText("  请注意  ");
        child<QPlainTextEdit>(notice, "Text2")->setPlainText("第一行\n第二行");
        child<QPushButton>(notice, "Command1(0)")->click();
        test::settle();
        QVERIFY(!ui::logo::instance());

        test::pressCell(grid, 3, 1);
        apply();
        QCOMPARE(stored(RegRoot::LocalMachine, kWinlogon, "legalnoticecaption"),
                 std::optional(sz("请注意")));
        QCOMPARE(stored(RegRoot::LocalMachine, kWinlogon, "legalnoticetext"),
                 std::optional(sz("第一行\r\n第二行")));
    }

    void customEntryReachesItsKey() {
        session->makeUserDat({"已有的项目"});
        test::press(child<QWidget>(window, "Command2(4)"), Qt::RightButton);
        ui::usersys* editor = ui::usersys::instance();
        QVERIFY(editor);
        QCOMPARE(window->shezhiflag(), 0);  // the right press fills nothing

        child<QPushButton>(editor, "Command2(0)")->click();
        child<QLineEdit>(editor, "Text1(3)")->setText("锁定级别");
        child<QComboBox>(editor, "Combo1")->setCurrentIndex(1);  // "HKEY_CURRENT_USER "
        child<QLineEdit>(editor, "Text1(0)")->setText("Software\\Tessmar");
        child<QLineEdit>(editor, "Text1(1)")->setText("Level");
        child<QLineEdit>(editor, "Text1(2)")->setText("-2");
        child<QPushButton>(editor, "Command3")->click();
        QCOMPARE(session->lastMessage(),
                 QString("系统提示|增加的内容要存盘(请确保输入的信息正确无误)吗？"));

        show(4);
        QCOMPARE(window->nrow(), 3);
        QCOMPARE(grid->item(2, 1)->text(), QString("锁定级别"));
        test::pressCell(grid, 2, 1);
        apply();
        const auto value = stored(RegRoot::CurrentUser, "Software\\Tessmar", "Level");
        QVERIFY(value);
        QCOMPARE(value->type, RegType::Dword);
        QCOMPARE(value->data.size(), std::size_t(4));
        QCOMPARE(int(value->data[0]), 0xFE);
        QCOMPARE(int(value->data[1]), 0xFF);
    }
};

QTEST_MAIN(SideWindowsEndToEndTest)
#include "sidewindows_e2e_test.moc"
