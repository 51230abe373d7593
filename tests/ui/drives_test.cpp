// The drive hiding window against a real drives.ini in a program directory of its own.
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "side_fixture.h"
#include "ui/drives.h"

using tessmar::test::child;
using tessmar::test::closeOpenWindow;
using tessmar::test::settle;
using tessmar::test::SideFixture;
using tessmar::ui::drives;

namespace {

const std::string kDefault = "\"000000000000000\",\"\"\r\n";

QCheckBox* box(drives* window, int i) {
    return child<QCheckBox>(window, QStringLiteral("Check1(%1)").arg(i));
}
void press(drives* window, int button) {
    QTest::mouseClick(child<QPushButton>(window, QStringLiteral("Command1(%1)").arg(button)),
                      Qt::LeftButton);
    settle();
}
QString ticked(drives* window) {
    QString letters;
    for (int i = 0; i < 15; ++i)
        if (box(window, i)->isChecked()) letters += QChar('A' + i);
    return letters;
}

}  // namespace

class DrivesTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { closeOpenWindow<drives>(); }

    void firstOpeningMakesTheDefaultFile() {
        SideFixture f;
        drives* window = drives::open(f.context);
        QCOMPARE(f.read("drives.ini"), kDefault);
        QCOMPARE(ticked(window), QString());
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(window->windowTitle(), QStringLiteral(" 隐藏硬盘驱动器 <- 设置"));
        QCOMPARE(window->size(), QSize(313, 185));
    }

    void confirmWritesSelectionAndMaskThenReopensAsConfirmed() {
        SideFixture f;
        drives* window = drives::open(f.context);
        box(window, 2)->setChecked(true);
        box(window, 3)->setChecked(true);
        press(window, 2);
        QVERIFY(!drives::instance());
        QCOMPARE(f.read("drives.ini"), std::string("\"001100000000000\",\" 12\"\r\n"));

        window = drives::open(f.context);
        QCOMPARE(ticked(window), QStringLiteral("CD"));
    }

    void selectAllThenCancelLeavesTheFile() {
        SideFixture f;
        f.write("drives.ini", "\"100000000000001\",\" 16385\"\r\n");
        drives* window = drives::open(f.context);
        QCOMPARE(ticked(window), QStringLiteral("AO"));
        press(window, 0);
        QCOMPARE(ticked(window), QStringLiteral("ABCDEFGHIJKLMNO"));
        press(window, 1);
        QCOMPARE(ticked(window), QString());
        press(window, 0);
        press(window, 3);
        QVERIFY(!drives::instance());
        QCOMPARE(f.read("drives.ini"), std::string("\"100000000000001\",\" 16385\"\r\n"));

        window = drives::open(f.context);
        QCOMPARE(ticked(window), QStringLiteral("AO"));
        window->close();  // the close box: no write either
        settle();
        QCOMPARE(f.read("drives.ini"), std::string("\"100000000000001\",\" 16385\"\r\n"));
    }

    void handEditedFileIsShownByFieldOne() {
        SideFixture f;
        f.write("drives.ini", "\" 1010x11111111111111\",\" 32767\"\r\n");
        drives* window = drives::open(f.context);
        QCOMPARE(ticked(window), QStringLiteral("ACFGHIJKLMNO"));
    }

    void openingAgainBringsTheSameWindowWithoutReloading() {
        SideFixture f;
        drives* window = drives::open(f.context);
        box(window, 5)->setChecked(true);
        QCOMPARE(drives::open(f.context), window);
        QCOMPARE(ticked(window), QStringLiteral("F"));
        QCOMPARE(f.read("drives.ini"), kDefault);
    }

    void readOnlyFileIsReportedAndKept() {
        SideFixture f;
        f.write("drives.ini", kDefault);
        f.makeReadOnly("drives.ini");
        drives* window = drives::open(f.context);
        box(window, 0)->setChecked(true);
        press(window, 2);
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].title, std::string("系统提示:"));
        QCOMPARE(drives::instance(), window);
        QCOMPARE(ticked(window), QStringLiteral("A"));
        QCOMPARE(f.read("drives.ini"), kDefault);
    }

    void fileThatCannotBeMadeOrReadIsReportedAndTheWindowStaysUsable() {
        SideFixture f;
        std::filesystem::create_directory(f.path("drives.ini"));
        drives* window = drives::open(f.context);
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(ticked(window), QString());
        press(window, 0);
        QCOMPARE(ticked(window).size(), 15);

        SideFixture g;
        g.write("drives.ini", "\"0011");  // a quote that never closes
        closeOpenWindow<drives>();
        window = drives::open(g.context);
        QCOMPARE(g.messages.shown.size(), std::size_t(1));
        box(window, 1)->setChecked(true);
        press(window, 2);
        QCOMPARE(g.read("drives.ini"), std::string("\"010000000000000\",\" 2\"\r\n"));
    }

    void focusRunsThroughTheDrivesThenTheButtons() {
        SideFixture f;
        drives* window = drives::open(f.context);
        QStringList order;
        QWidget* w = box(window, 0);
        for (int i = 0; i < 19; ++i) {
            order << w->objectName();
            do w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
        }
        QStringList expected;
        for (int i = 0; i < 15; ++i) expected << QStringLiteral("Check1(%1)").arg(i);
        for (int i = 0; i < 4; ++i) expected << QStringLiteral("Command1(%1)").arg(i);
        QCOMPARE(order, expected);
    }
};

QTEST_MAIN(DrivesTest)
#include "drives_test.moc"
