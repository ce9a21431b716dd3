// moltrix-cli: the command-line front end. It builds the same core the window
// does, on the real ports or a simulated bench, runs the window's start-up,
// and then clicks the same handlers an operator would.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "commands.h"
#include "console_platform.h"
#include "exit_status.h"
#include "options.h"
#include "ports_command.h"
#include "platform/busy_wait.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"
#include "product.h"
#include "shell/programmer.h"
#include "sim/bench.h"

namespace {

using namespace moltrix;

platform::Paths ProgramPaths() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::filesystem::path(home) / ".config";
    return {ec ? std::filesystem::path(".") : exe.parent_path(), std::filesystem::current_path(ec),
            config.empty() ? config : config / kAppTitle, {}, {}};
}

int Main(int argc, char** argv) {
    cli::Options options;
    if (auto status = cli::ParseOptions(argc, argv, options)) return *status;
    if (options.command == "list") return cli::ListCatalogue();
    const auto device = cli::CheckDevice(options);
    if (!device) return cli::kUsage;

    std::unique_ptr<sim::Bench> bench;
    std::unique_ptr<platform::ports::PortRouter> hardware;
    platform::PortIo* port = nullptr;
    cli::ConsoleClock realClock;
    platform::Clock* clock = &realClock;
    if (options.simulate) {
        std::string error;
        bench = sim::OpenBench(*options.simulate, options.realTime, error);
        if (!bench) {
            std::fprintf(stderr, "moltrix-cli: --simulate \"%s\": %s\n", options.simulate->c_str(), error.c_str());
            return cli::kUsage;
        }
        port = &bench->Port();
        clock = &bench->Clock();
    }
    if (options.command == "ports") {
        const int status = cli::ListPorts(bench.get());
        if (!options.probe) return status;
        std::printf("Looking for the board: the socket must be empty.\n");
    }
    if (!bench) {
        hardware = platform::ports::OpenHardwarePorts();
        port = hardware.get();
    }

    cli::ConsoleProgress progress(!options.quiet && isatty(STDERR_FILENO));
    cli::ConsoleDialogs dialogs(options.yes);
    dialogs.beforeOutput = [&progress] { progress.Clear(); };
    cli::SilentSound sound;
    cli::NoSettings settings;
    cli::NoHelp help;
    cli::NoLauncher launcher;
    platform::Paths paths = ProgramPaths();
    if (bench) paths.benchDir = bench->BoardIniDir(paths.configDir);
    platform::Services services{*port, *clock, sound, settings, dialogs, help, launcher, progress, paths};

    Programmer core(services);
    progress.SetTarget(&core);
    std::unique_ptr<cli::LogEcho> echo;
    auto echoLog = [&] {
        if (!options.quiet)
            echo = std::make_unique<cli::LogEcho>(core, progress, cli::WritesStandardOutput(options) ? stderr : stdout);
    };
    // A command that probes shows its own probe's lines only, not the
    // start-up's as well.
    const bool probes = cli::ProbesAgain(options);
    if (!probes) echoLog();
    core.Form_Load();
    if (probes) echoLog();
    if (hardware && !probes)
        for (const std::string& problem : hardware->ProblemsSoFar()) std::fprintf(stderr, "moltrix-cli: %s\n", problem.c_str());

    if (options.command == "probe" && !options.quiet) {
        const double perPass = bench ? static_cast<double>(bench->Time().pass_time) : platform::ThisPc().NanosPerPass();
        std::fprintf(stderr, "moltrix-cli: %s%s\n", bench ? "bench " : "", platform::LoopSpeedText(perPass).c_str());
    }
    const auto started = bench ? bench->Time().Now() : 0;
    const int status = cli::RunCommand(core, options, *device);
    progress.Clear();
    if (bench) {
        const double seconds = static_cast<double>(bench->Time().Now() - started) / 1e9;
        if (!options.quiet) std::fprintf(stderr, "moltrix-cli: %.3f s in simulated time\n", seconds);
        const std::string error = bench->Save();
        if (!error.empty()) {
            std::fprintf(stderr, "moltrix-cli: bench images not saved: %s\n", error.c_str());
            return status == cli::kSuccess ? cli::kFailed : status;
        }
    }
    core.regs.Reset();
    return status;
}

}  // namespace

int main(int argc, char** argv) { return Main(argc, argv); }
