#include "ui/instance.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

namespace tessmar::ui {

RunningCopy::RunningCopy(const QString& name, std::function<void()> forward) {
    // The copy that holds the folder's claim is the only one here: a socket left by a copy that
    // crashed is in the way.
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name);
    QObject::connect(&server_, &QLocalServer::newConnection, &server_,
                     [this, forward = std::move(forward)] {
                         while (QLocalSocket* asking = server_.nextPendingConnection()) {
                             asking->disconnectFromServer();
                             asking->deleteLater();
                             forward();
                         }
                     });
}

bool askRunningCopy(const QString& name, std::chrono::milliseconds wait) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(500)) {
            socket.disconnectFromServer();
            return true;
        }
        if (waited.elapsed() >= wait.count()) return false;
        QThread::msleep(50);
    }
}

}  // namespace tessmar::ui
