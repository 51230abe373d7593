// The start-up password gate.
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "support/session.h"
#include "ui/main.h"
#include "ui/pwdyz.h"

using namespace tessmar;
using test::child;

namespace {

const std::string kGateRecord = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";

// Notes, at the moment the gate hides, whether the main window is already up.
class HideWatch : public QObject {
  public:
    bool mainWasShown = false;
    bool hidden = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            hidden = true;
            mainWasShown = ui::main::instance() && ui::main::instance()->isVisible();
        }
        return false;
    }
};

// Real message boxes without an owner window, as when no window of the program is active; each
// closes itself.
class OwnerlessBoxes : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string& title,
                          platform::Buttons) override {
        QMessageBox box(QMessageBox::Warning, QString::fromStdString(title),
                        QString::fromStdString(text), QMessageBox::Ok);
        QTimer::singleShot(50, &box, &QDialog::accept);
        box.exec();
        return platform::Answer::Ok;
    }
};

}  // namespace

class GateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;
    QPointer<ui::pwdyz> gate;
    QLineEdit* text = nullptr;

    void openGate() {
        gate = new ui::pwdyz(session->context);
        gate->show();
        QVERIFY(test::activate(gate));
        text = child<QLineEdit>(gate, "Text2");
    }
    bool mainOpen() const { return ui::main::instance() && ui::main::instance()->isVisible(); }

  private slots:
    void init() {
        session = std::make_unique<test::Session>();
        session->context.windir.clear();
    }
    void cleanup() { session.reset(); }

    void opensWithTheFocusInThePasswordBox() {
        openGate();
        QCOMPARE(gate->windowTitle(), QString(" input sys pwd!"));
        QVERIFY(!(gate->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(gate->size(), QSize(301, 120));
        QCOMPARE(text->echoMode(), QLineEdit::Password);
        QCOMPARE(QApplication::focusWidget(), text);
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("CancelButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("OKButton"));
    }

    void firstStartCreatesTheFileAndOpensMainOnlyAfterwards() {
        openGate();
        HideWatch watch;
        gate->installEventFilter(&watch);
        child<QPushButton>(gate, "OKButton")->click();
        QCOMPARE(session->read("vorn.ini"), kGateRecord);
        QVERIFY(session->messages.shown.empty());
        QVERIFY(watch.hidden);
        QVERIFY(watch.mainWasShown);
        QVERIFY(mainOpen());
        QCOMPARE(session->context.windir, std::string("C:\\WINDOWS"));
    }

    void comparesTrimmedAndExact_data() {
        QTest::addColumn<QString>("stored");  // the record, or empty for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const QString upper = "\"\",\"C:\\WINDOWS\",\"Ab1,x\",,,\"\",\r\n";
        QTest::newRow("first start, blanks") << QString() << "   " << true;
        QTest::newRow("first start, a letter") << QString() << "a" << false;
        QTest::newRow("exact") << upper << "Ab1,x" << true;
        QTest::newRow("blanks around") << upper << "  Ab1,x " << true;
        QTest::newRow("small letters") << upper << "ab1,x" << false;
        QTest::newRow("blank inside") << upper << "Ab1, x" << false;
    }
    void comparesTrimmedAndExact() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        if (!stored.isEmpty()) session->write("vorn.ini", stored.toStdString());
        openGate();
        QTest::keyClicks(text, typed);
        child<QPushButton>(gate, "OKButton")->click();
        QCOMPARE(mainOpen(), accepted);
        if (accepted) {
            QVERIFY(session->messages.shown.empty());
            return;
        }
        QCOMPARE(session->lastMessage(), QString("警告|密码有误，确定重输！"));
        QVERIFY(gate->isVisible());
        QVERIFY(text->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), text);
    }

    void escVerifiesAndEnterMovesToOk() {
        session->write("vorn.ini", "\"\",\"C:\\WINDOWS\",\"pw\",,,\"\",\r\n");
        openGate();
        QTest::keyClicks(text, "px");
        QTest::keyClick(text, Qt::Key_Escape);
        QCOMPARE(session->messages.shown.size(), std::size_t(1));
        QVERIFY(gate->isVisible());

        QTest::keyClicks(text, "pw");
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("OKButton"));
        QVERIFY(!mainOpen());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(mainOpen());
        QCOMPARE(session->messages.shown.size(), std::size_t(1));
    }

    void holdsAtMostTwentyFiveCharacters() {
        openGate();
        QTest::keyClicks(text, QString(30, 'x'));
        QCOMPARE(text->text(), QString(25, 'x'));
    }

    void unreadableFileIsReportedAndKept_data() {
        QTest::addColumn<QString>("bytes");  // empty: a program directory where nothing can be made
        QTest::newRow("too few fields") << "\"\",\"C:\\WINDOWS\"\r\n";
        QTest::newRow("unclosed quote") << "\"\",\"C:\\WINDOWS\",\"secret,,,\r\n";
        QTest::newRow("cannot be created") << "";
    }
    void unreadableFileIsReportedAndKept() {
        QFETCH(QString, bytes);
        if (bytes.isEmpty())
            session->context.dir = session->dir / "gone";
        else
            session->write("vorn.ini", bytes.toStdString());
        openGate();
        child<QPushButton>(gate, "OKButton")->click();
        QCOMPARE(session->messages.shown.size(), std::size_t(1));
        QCOMPARE(session->messages.shown[0].title, std::string("警告"));
        QVERIFY(session->messages.shown[0].text.find("vorn.ini") != std::string::npos);
        if (bytes.isEmpty())
            QVERIFY(!std::filesystem::exists(session->context.dir));
        else
            QCOMPARE(session->read("vorn.ini"), bytes.toStdString());
        QVERIFY(gate->isVisible());
        QVERIFY(!mainOpen());
    }

    void cancelEndsWithoutWritingAndTheCloseBoxIsDead() {
        openGate();
        QVERIFY(!gate->close());
        QVERIFY(gate->isVisible());
        child<QPushButton>(gate, "CancelButton")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gate.isNull());
        QVERIFY(!session->exists("vorn.ini"));
        QVERIFY(!mainOpen());
    }

    // Runs the real event loop, so it comes last.
    void aRefusedPasswordLeavesTheProgramRunning() {
        OwnerlessBoxes boxes;
        ui::Context context{session->dir, *session->registry, boxes, session->shell, {}, 0};
        QGuiApplication::setQuitOnLastWindowClosed(true);
        gate = new ui::pwdyz(context);
        gate->show();
        bool stillRunning = false;
        QTimer::singleShot(0, [&] {
            QTest::keyClicks(child<QLineEdit>(gate, "Text2"), "wrong");
            child<QPushButton>(gate, "OKButton")->click();
        });
        QTimer::singleShot(300, [&] {
            stillRunning = !gate.isNull() && gate->isVisible();
            QCoreApplication::exit(0);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(stillRunning);
    }
};

QTEST_MAIN(GateTest)
#include "gate_test.moc"
