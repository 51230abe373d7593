#include "ui/instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QSocketNotifier>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <thread>

namespace tessmar::ui {

namespace {

// An abstract socket: it goes with the process, so a copy that crashed leaves nothing in the way.
struct Address {
    sockaddr_un where{};
    socklen_t length = 0;

    explicit Address(const QString& name) {
        where.sun_family = AF_UNIX;
        const QByteArray bytes = name.toUtf8();
        const std::size_t n =
            std::min(static_cast<std::size_t>(bytes.size()), sizeof where.sun_path - 1);
        std::memcpy(where.sun_path + 1, bytes.constData(), n);
        length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&where); }
};

}  // namespace

RunningCopy::RunningCopy(const QString& name, std::function<void()> forward)
    : forward_(std::move(forward)) {
    const Address address(name);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0) return;
    if (::bind(socket_, address.get(), address.length) != 0 || ::listen(socket_, 8) != 0) {
        // Without it later starts wait their few seconds and end; this copy runs on regardless.
        ::close(socket_);
        socket_ = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        for (int asking; (asking = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(asking);
            forward_();
        }
    });
}

RunningCopy::~RunningCopy() {
    notifier_.reset();
    if (socket_ >= 0) ::close(socket_);
}

bool askRunningCopy(const QString& name, std::chrono::milliseconds wait) {
    const Address address(name);
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket < 0) return false;
        const bool answered = ::connect(socket, address.get(), address.length) == 0;
        ::close(socket);
        if (answered) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tessmar::ui
