// The program: the start-up password gate opens it; the main window follows a correct password.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "forms/program.h"
#include "gpo/cli.h"
#include "platform/instance.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/desktop.h"
#include "ui/instance.h"
#include "ui/qtmessages.h"

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

    // Qt's own buttons (message boxes) read 确定 / 取消.
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    const std::unique_ptr<tessmar::platform::Registry> registry =
        tessmar::platform::makeSystemRegistry();
    const std::unique_ptr<tessmar::platform::Shell> shell = tessmar::platform::makeSystemShell();
    tessmar::ui::QtMessageBoxes messages;
    tessmar::ui::Desktop desktop;
    tessmar::forms::Program program({dir, *registry, messages, *shell}, desktop);
    desktop.attach(program);
    std::optional<tessmar::ui::RunningCopy> running;
    if (claim) running.emplace(instance, [&] { program.bringForward(); });

    program.open(tessmar::forms::WindowKind::Gate);
    // The icon waits until the gate has shown: making it loads Qt's SVG icon engine and renders
    // the picture in every size the window manager may ask for, none of which the gate's first
    // picture needs. Setting it later gives every open window the icon too.
    QTimer::singleShot(
        0, [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/icon.svg"))); });
    return QApplication::exec();
}
