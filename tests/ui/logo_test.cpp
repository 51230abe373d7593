// The logon notice editor against a real logo.ini in a program directory of its own.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/codepage.h"
#include "side_fixture.h"
#include "ui/logo.h"

using tessmar::test::activate;
using tessmar::test::child;
using tessmar::test::closeOpenWindow;
using tessmar::test::settle;
using tessmar::test::SideFixture;
using tessmar::ui::logo;

namespace {

QPlainTextEdit* title(logo* window) {
    return child<QPlainTextEdit>(window, "Text1");
}
QPlainTextEdit* text(logo* window) {
    return child<QPlainTextEdit>(window, "Text2");
}
QPushButton* button(logo* window, int i) {
    return child<QPushButton>(window, QStringLiteral("Command1(%1)").arg(i));
}
void press(logo* window, int i) {
    QTest::mouseClick(button(window, i), Qt::LeftButton);
    settle();
}
// The file as text: code page 936 decoded.
std::string fileText(const SideFixture& f) {
    auto text = tessmar::platform::fromCp936(f.read("logo.ini"));
    return text ? *text : std::string("<not code page 936>");
}

}  // namespace

class LogoTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { closeOpenWindow<logo>(); }

    void firstOpeningMakesTheDefaultFile() {
        SideFixture f;
        logo* window = logo::open(f.context);
        QCOMPARE(f.read("logo.ini"), std::string(",\"\"\r\n"));
        QCOMPARE(title(window)->toPlainText(), QString());
        QCOMPARE(text(window)->toPlainText(), QString());
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(window->windowTitle(), QStringLiteral("Windows登录提示信息  <- 设置"));
    }

    void confirmStoresTrimmedTextsWithLineBreaksAsCrLf() {
        SideFixture f;
        logo* window = logo::open(f.context);
        QVERIFY(activate(window));
        title(window)->setFocus();
        QTest::keyClicks(title(window), "  ");
        title(window)->insertPlainText(QStringLiteral("注意,请勿"));
        QTest::keyClicks(title(window), "  ");
        text(window)->setFocus();
        text(window)->insertPlainText(QStringLiteral(" 第一行"));
        QTest::keyClick(text(window), Qt::Key_Return);
        QTest::keyClicks(text(window), QStringLiteral("second "));
        press(window, 0);
        QVERIFY(!logo::instance());
        QCOMPARE(fileText(f), std::string("\"注意,请勿\",\"第一行\r\nsecond\"\r\n"));

        window = logo::open(f.context);
        QCOMPARE(title(window)->toPlainText(), QStringLiteral("注意,请勿"));
        QCOMPARE(text(window)->toPlainText(), QStringLiteral("第一行\nsecond"));
    }

    void cancelAndTheCloseBoxKeepTheFile() {
        SideFixture f;
        const std::string stored = "\"T\",\"a\r\nb\"\r\n";
        f.write("logo.ini", stored);
        logo* window = logo::open(f.context);
        title(window)->setPlainText("changed");
        press(window, 1);
        QVERIFY(!logo::instance());
        QCOMPARE(f.read("logo.ini"), stored);

        window = logo::open(f.context);
        QCOMPARE(title(window)->toPlainText(), QStringLiteral("T"));
        QCOMPARE(text(window)->toPlainText(), QStringLiteral("a\nb"));
        text(window)->setPlainText("changed");
        window->close();
        settle();
        QCOMPARE(f.read("logo.ini"), stored);
    }

    void enterAndEscapeNeverPressAButton() {
        SideFixture f;
        logo* window = logo::open(f.context);
        QVERIFY(activate(window));
        title(window)->setFocus();
        QTest::keyClicks(title(window), "a");
        QTest::keyClick(title(window), Qt::Key_Return);
        QTest::keyClicks(title(window), "b");
        QTest::keyClick(title(window), Qt::Key_Escape);
        QCOMPARE(title(window)->toPlainText(), QStringLiteral("a\nb"));
        for (int i = 0; i < 2; ++i) {
            button(window, i)->setFocus();
            QTest::keyClick(button(window, i), Qt::Key_Return);
            QTest::keyClick(button(window, i), Qt::Key_Enter);
            QTest::keyClick(button(window, i), Qt::Key_Escape);
            settle();
            QCOMPARE(logo::instance(), window);
        }
        QCOMPARE(f.read("logo.ini"), std::string(",\"\"\r\n"));
    }

    void textTheFileCannotHoldIsRefusedAndKept_data() {
        QTest::addColumn<QString>("titleText");
        QTest::addColumn<QString>("noticeText");
        QTest::newRow("quote in title") << QStringLiteral("say \"hi\"") << QString();
        QTest::newRow("quote in text") << QString() << QStringLiteral("a\"b");
        QTest::newRow("outside code page 936") << QStringLiteral("ok") << QStringLiteral("😀");
    }
    void textTheFileCannotHoldIsRefusedAndKept() {
        QFETCH(QString, titleText);
        QFETCH(QString, noticeText);
        SideFixture f;
        const std::string stored = "\"old\",\"notice\"\r\n";
        f.write("logo.ini", stored);
        logo* window = logo::open(f.context);
        title(window)->setPlainText(titleText);
        text(window)->setPlainText(noticeText);
        press(window, 0);
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].title, std::string("系统提示:"));
        QCOMPARE(logo::instance(), window);
        QCOMPARE(title(window)->toPlainText(), titleText);
        QCOMPARE(text(window)->toPlainText(), noticeText);
        QCOMPARE(f.read("logo.ini"), stored);
    }

    void fileThatCannotBeWrittenOrReadIsReported() {
        SideFixture f;
        f.write("logo.ini", ",\"\"\r\n");
        f.makeReadOnly("logo.ini");
        logo* window = logo::open(f.context);
        title(window)->setPlainText("x");
        press(window, 0);
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(logo::instance(), window);
        QCOMPARE(f.read("logo.ini"), std::string(",\"\"\r\n"));
        closeOpenWindow<logo>();

        SideFixture g;
        std::filesystem::create_directory(g.path("logo.ini"));
        window = logo::open(g.context);
        QCOMPARE(g.messages.shown.size(), std::size_t(1));
        QCOMPARE(title(window)->toPlainText(), QString());
    }

    void focusRunsFromTitleToTextToTheButtons() {
        SideFixture f;
        logo* window = logo::open(f.context);
        QVERIFY(activate(window));
        title(window)->setFocus();
        QTest::keyClick(title(window), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), text(window));
        QTest::keyClick(text(window), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button(window, 0));
        QTest::keyClick(button(window, 0), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button(window, 1));
    }
};

QTEST_MAIN(LogoTest)
#include "logo_test.moc"
