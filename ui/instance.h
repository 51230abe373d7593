#pragma once
// The Qt side of one copy per program folder (platform/instance.h): the running copy listens on a
// local socket named for its folder, and a later start asks it there to bring its window forward.
// A plain socket rather than Qt Network, whose load alone (with Kerberos and libproxy behind it)
// would add a tenth to the time the gate takes to show.
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessmar::ui {

class RunningCopy {
  public:
    // Listens under name; each later start that connects has forward run.
    RunningCopy(const QString& name, std::function<void()> forward);
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;
    ~RunningCopy();

  private:
    int socket_ = -1;
    std::function<void()> forward_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Asks the copy listening under name to bring its window forward, giving it up to wait to start
// listening (it may have claimed the folder a moment ago); false when no copy answered.
bool askRunningCopy(const QString& name, std::chrono::milliseconds wait);

}  // namespace tessmar::ui
