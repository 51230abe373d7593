// The program: the start-up password gate opens it; the main window follows a correct password.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/program.h"
#include "gpo/cli.h"
#include "platform/instance.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/desktop.h"
#include "ui/instance.h"
#include "ui/picturebox.h"
#include "ui/qtmessages.h"

namespace {

// Runs its work once, when the first picture of any window has been painted and shown.
class AfterFirstPaint : public QObject {
  public:
    explicit AfterFirstPaint(std::function<void()> work) : work_(std::move(work)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && work_) {
            qApp->removeEventFilter(this);
            // After the paint, once the picture has gone to the screen.
            QTimer::singleShot(0, this, std::exchange(work_, nullptr));
        }
        return false;
    }

  private:
    std::function<void()> work_;
};

}  // namespace

int main(int argc, char** argv) {
    // The command lines are served before any window system is touched, so they need no display.
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto code = tessmar::gpo::runCommandLine(args, tessmar::platform::programDir(), std::cout,
                                                 std::cerr))
        return *code;

    QApplication app(argc, argv);
    // One copy per program folder: a later start brings the running copy's window forward and
    // ends. Where the folder cannot be claimed at all, the program still runs. The command lines
    // above never claim it.
    const std::filesystem::path dir = tessmar::platform::programDir();
    const QString instance = QString::fromStdString(tessmar::platform::instanceName(dir));
    const auto claim = tessmar::platform::InstanceClaim::claim(dir);
    if (claim && !*claim) {
        tessmar::ui::askRunningCopy(instance, std::chrono::seconds(3));
        return 0;
    }
    Q_INIT_RESOURCE(art);

    const std::unique_ptr<tessmar::platform::Registry> registry =
        tessmar::platform::makeSystemRegistry();
    const std::unique_ptr<tessmar::platform::Shell> shell = tessmar::platform::makeSystemShell();
    tessmar::ui::QtMessageBoxes messages;
    tessmar::ui::Desktop desktop;
    tessmar::forms::Program program({dir, *registry, messages, *shell}, desktop);
    desktop.attach(program);
    std::optional<tessmar::ui::RunningCopy> running;
    if (claim) running.emplace(instance, [&] { program.bringForward(); });

    // The icon goes with the gate as it is shown: set afterwards, the window manager would redraw
    // the frame while the gate's first picture is still being made. Qt's own translation waits
    // until that picture has been painted (a message box before then installs it itself).
    QApplication::setWindowIcon(tessmar::ui::iconOf(QStringLiteral(":/art/icon.svg")));
    AfterFirstPaint later([] { tessmar::ui::installQtTranslation(); });
    program.open(tessmar::forms::WindowKind::Gate);
    return QApplication::exec();
}
