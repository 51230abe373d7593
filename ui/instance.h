#pragma once
// The Qt side of one copy per program folder (platform/instance.h): the running copy listens on a
// local socket named for its folder, and a later start asks it there to bring its window forward.
#include <QLocalServer>
#include <QString>
#include <chrono>
#include <functional>

namespace tessmar::ui {

class RunningCopy {
  public:
    // Listens under name; each later start that connects has forward run.
    RunningCopy(const QString& name, std::function<void()> forward);

  private:
    QLocalServer server_;
};

// Asks the copy listening under name to bring its window forward, giving it up to wait to start
// listening (it may have claimed the folder a moment ago); false when no copy answered.
bool askRunningCopy(const QString& name, std::chrono::milliseconds wait);

}  // namespace tessmar::ui
