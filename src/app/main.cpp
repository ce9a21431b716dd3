// The program's entry point: builds the port backend, the platform services,
// the core and the main window, hands each to the next, and runs the window.
//
//   moltrix                      the real parallel ports
//   moltrix --simulate TEXT      a simulated bench, e.g. "6@378:27C256=chip.bin"
//   moltrix --screenshot FILE    also saves a picture of the window once it is up
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "bench.h"
#include "main_window.h"
#include "platform/ports/hardware_ports.h"
#include "product.h"
#include "qt_platform.h"
#include "shell/programmer.h"

namespace {

using namespace moltrix;

platform::Paths ProgramPaths() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return {QCoreApplication::applicationDirPath().toStdString(), QDir::currentPath().toStdString(),
            config.toStdString()};
}

int Main(QApplication& qtApp) {
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("MOLTRIX device programmer"));
    args.addHelpOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Run on a simulated bench described by TEXT, e.g. 6@378:27C256=chip.bin."),
        QStringLiteral("TEXT"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the main window to FILE once shown."),
                                        QStringLiteral("FILE"));
    args.addOption(simulate);
    args.addOption(screenshot);
    args.process(qtApp);

    // The port backend: the simulated bench, or the PC's parallel ports.
    std::unique_ptr<app::Bench> bench;
    std::unique_ptr<platform::PortIo> hardware;
    platform::PortIo* port = nullptr;
    platform::Clock* benchClock = nullptr;
    if (args.isSet(simulate)) {
        std::string error;
        bench = app::OpenBench(args.value(simulate).toStdString(), error);
        if (!bench) {
            std::fprintf(stderr, "moltrix: --simulate: %s\n", error.c_str());
            return 2;
        }
        port = &bench->Port();
        benchClock = &bench->Clock();
    } else {
        hardware = platform::ports::OpenHardwarePorts();
        port = hardware.get();
    }

    app::QtClock clock(benchClock);
    app::QtSoundPlayer sound;
    app::QtSettingsStore settings;
    app::QtDialogs dialogs;
    app::QtHelpViewer help;
    app::QtLauncher launcher;
    app::QtUiRefresh refresh;
    platform::Services services{*port, clock, sound, settings, dialogs, help, launcher, refresh, ProgramPaths()};

    Programmer core(services);
    app::MainWindow window(core, clock);
    dialogs.SetOwner(&window);
    refresh.SetTarget(&window);
    window.Start();

    if (args.isSet(screenshot)) {
        const QString file = args.value(screenshot);
        QTimer::singleShot(500, &window, [&window, file] {
            if (!window.grab().save(file)) std::fprintf(stderr, "moltrix: cannot save %s\n", qPrintable(file));
        });
    }
    const int result = QApplication::exec();
    refresh.SetTarget(nullptr);
    if (bench) {
        const std::string error = bench->Save();
        if (!error.empty()) std::fprintf(stderr, "moltrix: bench images not saved: %s\n", error.c_str());
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(moltrix::kAppTitle));
    return Main(qtApp);
}
