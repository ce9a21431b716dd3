// The program's entry point: builds the port backend, the platform services,
// the core and the main window, hands each to the next, and runs the window.
//
//   moltrix                      the real parallel ports
//   moltrix --simulate TEXT      a simulated bench, e.g. "6@378:27C256=chip.bin"
//   moltrix --screenshot FILE    also saves a picture of the window once it is up
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench.h"
#include "main_window.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"
#include "product.h"
#include "qt_platform.h"
#include "shell/programmer.h"
#include "sim/bench_setup.h"

namespace {

using namespace moltrix;

const char* const kUsage = [] {
    static const std::string text =
        std::string("usage: moltrix [--simulate TEXT] [--screenshot FILE]\n"
                    "  --simulate TEXT    run on a simulated bench, e.g. 6@378:27C256=chip.bin\n"
                    "  --screenshot FILE  save a picture of the main window to FILE once it is shown\n\n") +
        sim::kBenchSetupHelp;
    return text.c_str();
}();

struct Options {
    bool simulate = false;
    std::string simulateText;
    std::string screenshot;
};

// Reads the command line before any window exists, so a wrong one is reported
// even where no display is available. Returns false after printing the reason.
bool ReadOptions(int argc, char** argv, Options& options, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const std::string& name, std::string& into) {
            if (arg.rfind(name + "=", 0) == 0) {
                into = arg.substr(name.size() + 1);
                return true;
            }
            if (arg != name) return false;
            if (i + 1 >= argc) throw std::runtime_error(name + " needs a value");
            into = argv[++i];
            return true;
        };
        try {
            if (arg == "--help" || arg == "-h") {
                std::fputs(kUsage, stdout);
                exitCode = 0;
                return false;
            }
            if (value("--simulate", options.simulateText)) {
                options.simulate = true;
                continue;
            }
            if (value("--screenshot", options.screenshot)) continue;
            throw std::runtime_error("unknown argument: " + arg);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "moltrix: %s\n%s", e.what(), kUsage);
            exitCode = 2;
            return false;
        }
    }
    return true;
}

platform::Paths ProgramPaths() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return {QCoreApplication::applicationDirPath().toStdString(), QDir::currentPath().toStdString(),
            config.toStdString(), {}};
}

int Main(int argc, char** argv) {
    Options options;
    int exitCode = 0;
    if (!ReadOptions(argc, argv, options, exitCode)) return exitCode;

    // The port backend: the simulated bench, or the PC's parallel ports.
    std::unique_ptr<app::Bench> bench;
    std::unique_ptr<platform::ports::PortRouter> hardware;
    platform::PortIo* port = nullptr;
    platform::Clock* benchClock = nullptr;
    if (options.simulate) {
        std::string error;
        bench = app::OpenBench(options.simulateText, error);
        if (!bench) {
            std::fprintf(stderr, "moltrix: --simulate \"%s\": %s\n", options.simulateText.c_str(), error.c_str());
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
    app::MainWindow window(core);
    dialogs.SetOwner(&window);
    refresh.SetTarget(&window);
    window.Start();
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
