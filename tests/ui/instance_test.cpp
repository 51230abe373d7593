// A later start rings the running copy of its folder, and only that one.
#include <QTest>
#include <chrono>

#include "ui/instance.h"

using tessmar::ui::askRunningCopy;
using tessmar::ui::RunningCopy;
using namespace std::chrono_literals;

class InstanceTest : public QObject {
    Q_OBJECT
  private slots:
    void laterStartsBringTheRunningCopyForward() {
        const QString name =
            QStringLiteral("Tessmar-test-%1").arg(QCoreApplication::applicationPid());
        int forwarded = 0;
        {
            RunningCopy running(name, [&] { ++forwarded; });
            QVERIFY(askRunningCopy(name, 0ms));
            QVERIFY(askRunningCopy(name, 0ms));
            QTRY_COMPARE(forwarded, 2);
            QVERIFY(!askRunningCopy(name + QStringLiteral("-other"), 0ms));
        }
        // Gone with its copy: a later start waits its time and finds nobody.
        QVERIFY(!askRunningCopy(name, 100ms));
    }
};

QTEST_MAIN(InstanceTest)
#include "instance_test.moc"
