// The program's entry point: builds the port backend, the platform services,
// the core and the main window, hands each to the next, and runs the window.
//
//   moltrix                      the real parallel ports
//   moltrix --simulate TEXT      a simulated bench, e.g. "6@378:27C256=chip.bin"
//   moltrix --port PORT          look for the board at this port (D010, /dev/parport1)
//   moltrix --screenshot FILE    also saves a picture of the window once it is up
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "board/detection.h"
#include "main_window.h"
#include "platform/busy_wait.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"
#include "product.h"
#include "qt_platform.h"
#include "shell/programmer.h"
#include "sim/bench.h"
#include "sim/bench_setup.h"

namespace {

using namespace moltrix;

struct Options {
    std::optional<std::string> simulate;
    std::optional<std::string> port;
    std::string screenshot;
};

// Reads the command line before any window exists, so a wrong one is reported
// even where no display is available. Returns an exit status to end with at
// once (help shown, or bad usage reported), or nothing to go on.
std::optional<int> ReadOptions(int argc, char** argv, Options& options) {
    CLI::App app{"moltrix: the MOLTRIX programmer boards", "moltrix"};
    app.footer(sim::kBenchSetupHelp);
    app.set_version_flag("--version", [] {
        return std::string("moltrix ") + MOLTRIX_VERSION + "\n" + platform::LoopSpeedText(platform::ThisPc().NanosPerPass());
    });
    app.add_option("--simulate", options.simulate, "run on a simulated bench, e.g. 6@378:27C256=chip.bin");
    app.add_option("--port", options.port,
                   "look for the board at this port once started: an address in hex (378, D010, ...) or a "
                   "device (/dev/parport1)");
    app.add_option("--screenshot", options.screenshot, "save a picture of the main window to FILE once it is shown");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    return std::nullopt;
}

platform::Paths ProgramPaths() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString programDir = QCoreApplication::applicationDirPath();
    platform::Paths paths{programDir.toStdString(), QDir::currentPath().toStdString(), config.toStdString(), {}, {}};
    // Installed, the sounds and the manual lie in share/moltrix beside bin/.
    const QString shared = QDir(programDir).absoluteFilePath(QStringLiteral("../share/moltrix"));
    if (QFileInfo(shared + QStringLiteral("/moltrix5.hlp")).isFile()) paths.dataDir = QDir::cleanPath(shared).toStdString();
    return paths;
}

int Main(int argc, char** argv) {
    Options options;
    if (auto status = ReadOptions(argc, argv, options)) return *status;

    // The port backend: the simulated bench, or the PC's parallel ports.
    std::unique_ptr<sim::Bench> bench;
    std::unique_ptr<platform::ports::PortRouter> hardware;
    platform::PortIo* port = nullptr;
    platform::Clock* benchClock = nullptr;
    if (options.simulate) {
        std::string error;
        bench = sim::OpenBench(*options.simulate, /*realSleep=*/true, error);
        if (!bench) {
            std::fprintf(stderr, "moltrix: --simulate \"%s\": %s\n", options.simulate->c_str(), error.c_str());
            return 2;
        }
        port = &bench->Port();
        benchClock = &bench->Clock();
    } else {
        hardware = platform::ports::OpenHardwarePorts();
        port = hardware.get();
    }

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setDesktopFileName(QStringLiteral("moltrix"));

    app::QtUiRefresh refresh;
    app::QtClock clock(benchClock, &refresh);
    app::QtSoundPlayer sound;
    app::QtSettingsStore settings;
    app::QtDialogs dialogs;
    dialogs.SetRefresh(&refresh);
    app::QtHelpViewer help;
    app::QtLauncher launcher;
    platform::Paths paths = ProgramPaths();
    if (bench) paths.benchDir = bench->BoardIniDir(paths.configDir);
    platform::Services services{*port, clock, sound, settings, dialogs, help, launcher, refresh, paths};

    Programmer core(services);
    std::uint16_t namedPort = 0;
    if (options.port) {
        const board::NamedPort named = core.detect.PortNamed(*options.port);
        if (named.problem != board::NamedPort::None) {
            std::fprintf(stderr, "moltrix: --port %s: %s\n", options.port->c_str(), named.why.c_str());
            return 2;
        }
        namedPort = named.base;
    }
    // On the bench the window says so at all times, in the status bar.
    if (options.simulate) core.form.sbStatusBar.benchText = "Simulated bench: " + sim::BenchName(*options.simulate);
    app::MainWindow window(core);
    dialogs.SetOwner(&window);
    refresh.SetTarget(&window);
    window.Start();
    if (namedPort != 0) window.RunOperatorAction([&core, namedPort] { core.detect.UsePort(namedPort); });
    // Start-up empties the log after probing: what kept a port from being used
    // goes to standard error too.
    if (hardware)
        for (const std::string& problem : hardware->ProblemsSoFar()) std::fprintf(stderr, "moltrix: %s\n", problem.c_str());

    if (!options.screenshot.empty()) {
        const QString file = QString::fromStdString(options.screenshot);
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

int main(int argc, char** argv) { return Main(argc, argv); }
