// The password change window.
#include <QLineEdit>
#include <QPushButton>

#include "support/session.h"
#include "ui/pwsword.h"

using namespace tessmar;
using test::child;

namespace {

// A record with every kind of field: text, unset, and the unset custom field.
const std::string kRecord = "\"1010000\",\"C:\\WINDOWS\",\"old\",,\"01\",\"\",\r\n";

}  // namespace

class PwswordTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;
    ui::pwsword* window = nullptr;
    std::array<QLineEdit*, 2> boxes{};

    QString focus() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void confirm(const QString& first, const QString& second) {
        boxes[0]->setText(first);
        boxes[1]->setText(second);
        child<QPushButton>(window, "Command1(0)")->click();
    }

  private slots:
    void init() {
        session = std::make_unique<test::Session>();
        session->write("vorn.ini", kRecord);
        window = ui::pwsword::open(session->context);
        QVERIFY(test::activate(window));
        boxes = {child<QLineEdit>(window, "Text1(0)"), child<QLineEdit>(window, "Text1(1)")};
    }
    void cleanup() { session.reset(); }

    void opensOnOkWithItsTabOrder() {
        QCOMPARE(window->windowTitle(), QString("密码修改"));
        QCOMPARE(window->size(), QSize(233, 121));
        QCOMPARE(ui::pwsword::open(session->context), window);
        for (const char* next : {"Command1(0)", "Command1(1)", "Text1(0)", "Text1(1)"}) {
            QCOMPARE(focus(), QString(next));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void emptyBoxesAreRefused_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("focused");
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "Text1(0)";
        QTest::newRow("re-entry empty") << "a"
                                        << ""
                                        << "Text1(1)";
        QTest::newRow("new empty") << ""
                                   << "a"
                                   << "Text1(0)";
    }
    void emptyBoxesAreRefused() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, focused);
        confirm(first, second);
        QCOMPARE(session->lastMessage(), QString("系统提示:|口令不为空!"));
        QCOMPARE(focus(), focused);
        QVERIFY(window->isVisible());
        QCOMPARE(session->read("vorn.ini"), kRecord);
    }

    void differentEntriesEmptyTheReentry() {
        confirm("Secret", "secret");
        QCOMPARE(session->lastMessage(), QString("系统提示:|口令不一致!"));
        QCOMPARE(boxes[0]->text(), QString("Secret"));
        QVERIFY(boxes[1]->text().isEmpty());
        QCOMPARE(focus(), QString("Text1(1)"));
        QCOMPARE(session->read("vorn.ini"), kRecord);
    }

    void storesTheTrimmedPasswordKeepingTheOtherFields_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("stored");
        QTest::newRow("blanks around") << "  new pw "
                                       << "new pw"
                                       << "\"new pw\"";
        QTest::newRow("blanks only") << "  "
                                     << " "
                                     << "\"\"";
        QTest::newRow("comma") << "a,b"
                               << "a,b"
                               << "\"a,b\"";
    }
    void storesTheTrimmedPasswordKeepingTheOtherFields() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, stored);
        confirm(first, second);
        QCOMPARE(session->lastMessage(), QString("系统提示:|口令修改成功!"));
        QCOMPARE(session->read("vorn.ini"),
                 "\"1010000\",\"C:\\WINDOWS\"," + stored.toStdString() + ",,\"01\",\"\",\"\"\r\n");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ui::pwsword::instance());
    }

    void enterMovesDownToOkThenPressesIt() {
        boxes[0]->setFocus();
        QTest::keyClicks(boxes[0], "pw");
        QTest::keyClick(boxes[0], Qt::Key_Return);
        QCOMPARE(focus(), QString("Text1(1)"));
        QTest::keyClicks(boxes[1], "pw");
        QTest::keyClick(boxes[1], Qt::Key_Return);
        QCOMPARE(focus(), QString("Command1(0)"));
        QVERIFY(session->messages.shown.empty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(session->lastMessage(), QString("系统提示:|口令修改成功!"));
    }

    void aFileThatCannotTakeThePasswordIsLeftAlone_data() {
        QTest::addColumn<QString>("bytes");  // empty: no file
        QTest::addColumn<QString>("password");
        QTest::newRow("missing") << ""
                                 << "pw";
        QTest::newRow("unreadable") << "\"1010000\",\"C:\\WINDOWS\",\"old"
                                    << "pw";
        QTest::newRow("double quote") << QString::fromStdString(kRecord) << "p\"w";
    }
    void aFileThatCannotTakeThePasswordIsLeftAlone() {
        QFETCH(QString, bytes);
        QFETCH(QString, password);
        std::filesystem::remove(session->dir / "vorn.ini");
        if (!bytes.isEmpty()) session->write("vorn.ini", bytes.toStdString());
        confirm(password, password);
        QCOMPARE(session->messages.shown.size(), std::size_t(1));
        QVERIFY(session->messages.shown[0].text != "口令修改成功!");
        QCOMPARE(session->exists("vorn.ini"), !bytes.isEmpty());
        if (!bytes.isEmpty()) QCOMPARE(session->read("vorn.ini"), bytes.toStdString());
        QVERIFY(window->isVisible());
    }

    void cancelClosesWithoutWritingAndTheNextOpeningStartsEmpty() {
        boxes[0]->setText("x");
        boxes[1]->setText("x");
        child<QPushButton>(window, "Command1(1)")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ui::pwsword::instance());
        QCOMPARE(session->read("vorn.ini"), kRecord);
        window = ui::pwsword::open(session->context);
        QVERIFY(child<QLineEdit>(window, "Text1(0)")->text().isEmpty());
    }
};

QTEST_MAIN(PwswordTest)
#include "pwsword_test.moc"
