#include "options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <set>

#include "board/detection.h"
#include "buffers/checksums.h"
#include "exit_status.h"
#include "operations/repeat_read.h"
#include "platform/busy_wait.h"
#include "sim/bench_setup.h"

namespace moltrix::cli {
namespace {

constexpr const char* kCommandHelp =
    "Commands:\n"
    "  list             the device catalogue: row, name, type code, size; refused rows marked\n"
    "  ports            list this PC's parallel ports, who holds them and whether you may\n"
    "                   use them; with --probe also look for the board (socket empty!)\n"
    "  probe            look for the board on the parallel ports\n"
    "  read FILE        read the device and save it to FILE (raw, Intel HEX or S-records:\n"
    "                   --format, or by the extension .hex/.ihx, .s19/.s28/.s37/.srec/.mot)\n"
    "  blank            blank-check the device\n"
    "  verify FILE      compare the device with FILE, as the window's Verify does\n"
    "  compare FILE     read the device once and report every difference from FILE\n"
    "  program FILE     program the device with FILE (asks first; --yes answers)\n"
    "  refresh FILE     UV EPROM: re-program the faded bits of a programmed chip in place,\n"
    "                   without erasing (asks first; --yes answers); refused when FILE\n"
    "                   needs a bit from 0 to 1\n"
    "  id               read a flash part's identification code\n"
    "  erase            erase a flash part or EEPROM chip (asks first; --yes answers)\n"
    "  display [PAGE]   show a 256-byte page of the device (page 0 when none is given)\n"
    "  export-log FILE  probe the board and save the log to FILE as the window does\n"
    "A FILE of \"-\" is standard input for verify, compare and program (an image piped\n"
    "in), and standard output for read and export-log; the log lines then go to\n"
    "standard error. A pipe or device named as FILE is never replaced by a file:\n"
    "writing to one is refused, and so is reading a device.\n"
    "read, verify, compare, program and refresh then print the checksums of the bytes\n"
    "they handled (read: the device's; the others: the file's): sum16 (the log's\n"
    "16-bit byte sum), crc32, crc16 (CRC-16/CCITT-FALSE) and sha256.\n";

struct CommandInfo {
    const char* name;
    bool needsArgument, takesArgument, writesFile;
    bool checksums = false;  // prints the checksums of the bytes it handled
};
constexpr CommandInfo kCommands[] = {
    {"list", false, false, false},       {"probe", false, false, false},
    {"read", true, true, true, true},    {"blank", false, false, false},
    {"verify", true, true, false, true}, {"display", false, true, false},
    {"export-log", true, true, true},    {"program", true, true, false, true},
    {"id", false, false, false},         {"erase", false, false, false},
    {"compare", true, true, false, true}, {"ports", false, false, false},
    {"refresh", true, true, false, true},
};

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

bool WritesStandardOutput(const Options& o) {
    const CommandInfo* c = FindCommand(o.command);
    return o.argument == "/dev/stdout" && c && c->writesFile;
}

std::optional<int> ParseOptions(int argc, char** argv, Options& o) {
    CLI::App app{"moltrix-cli: the MOLTRIX programmer boards from the command line", "moltrix-cli"};
    app.footer(std::string(kCommandHelp) + "\n" + kExitStatusHelp + "\n" + sim::kBenchSetupHelp);
    app.set_version_flag("--version", [] {
        return std::string("moltrix-cli ") + MOLTRIX_VERSION + "\n" + platform::LoopSpeedText(platform::ThisPc().NanosPerPass());
    });
    app.add_option("command", o.command,
                   "list, ports, probe, read, blank, verify, compare, program, refresh, id, erase, display, "
                   "export-log")
        ->required();
    app.add_option("argument", o.argument, "the command's FILE or PAGE");
    app.add_option("--device", o.device, "a catalogue name (\"Eprom 27C256\" or \"27C256\") or row number");
    app.add_option("--port", o.port,
                   "the board's port: auto (the probe), an address in hex (378, 278, 3BC, D010, ...) or a "
                   "device (/dev/parport1)")
        ->check([](const std::string& port) -> std::string {
            if (port == "auto" || port.rfind('/', 0) == 0 || board::PortAddress(port)) return {};
            return "\"" + port + "\" is not auto, a port address in hex (such as 378 or D010) or a device";
        });
    app.add_flag("--probe", o.probe, "ports: also look for the board (the socket must be empty)");
    app.add_option("--model", o.model, "force the board model: 4, 5 or 6")->check(CLI::IsMember({4, 5, 6}));
    app.add_option("--simulate", o.simulate, "run on a simulated bench, e.g. 6@378:27C256=chip.bin");
    app.add_flag("--real-time", o.realTime, "with --simulate: wait for real in sleeps, as a board would");
    app.add_option("--speed", o.speed, "programming speed slider, 1 (slowest) to 20")->check(CLI::Range(1, 20));
    app.add_option("--pulse", o.pulse,
                   "EPROM programming pulse: \"datasheet\" (100 us CMOS, 50 us 27C080, 1 ms NMOS at 21/25 V) or "
                   "a width in microseconds, instead of the speed slider's")
        ->check([](const std::string& v) -> std::string {
            int us = 0;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), us);
            if (v == "datasheet" || (ec == std::errc() && end == v.data() + v.size() && us >= 1 && us <= 100000))
                return {};
            return "\"" + v + "\" is not \"datasheet\" or a number of microseconds from 1 to 100000";
        });
    app.add_option("--byte", o.byte, "which bytes of the file go to the chip: both, hi or low")
        ->check(CLI::IsMember({"both", "hi", "low"}));
    app.add_option("--vpp", o.vpp, "programming voltage: 5, 12.5, 21 or 25 (as the device offers)")
        ->check(CLI::IsMember({"5", "12.5", "21", "25"}));
    app.add_flag("--blank-check", o.blankCheck, "program: blank-check the device first");
    app.add_flag("--verify", o.verify, "program: verify the device afterwards");
    app.add_flag("--yes,-y", o.yes, "answer the safety questions with yes");
    app.add_flag("--quiet,-q", o.quiet, "no log lines and no progress bar");
    app.add_option("--format", o.format, "read: the file's format, raw, ihex or srec (default: by its extension)")
        ->check(CLI::IsMember({"raw", "ihex", "srec"}));
    app.add_option("--repeat", o.repeat,
                   "read: read the device N times and save each bit as most reads gave it, listing the bits "
                   "that wavered; refresh: read it N times to find the faded bits")
        ->check(CLI::Range(1, operations::kMaxRepeatedReads));
    app.add_option("--expect", o.expect,
                   "NAME=VALUE: a checksum the bytes handled must have (sum16, crc32, crc16 or sha256; "
                   "letter case ignored), else exit status 12; may repeat")
        ->check([](const std::string& v) {
            std::string error;
            return buffers::ParseExpectedChecksum(v, error) ? std::string() : error;
        })
        ->expected(1)  // one value each time, so FILE after it stays the command's
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kSuccess : kUsage;
    }
    const CommandInfo* c = FindCommand(o.command);
    if (!c) {
        std::fprintf(stderr, "moltrix-cli: unknown command \"%s\"\n%s", o.command.c_str(), kCommandHelp);
        return kUsage;
    }
    if (c->needsArgument && o.argument.empty()) {
        std::fprintf(stderr, "moltrix-cli: %s needs a FILE\n", c->name);
        return kUsage;
    }
    if (!c->takesArgument && !o.argument.empty()) {
        std::fprintf(stderr, "moltrix-cli: %s takes no argument\n", c->name);
        return kUsage;
    }
    // "-": standard output for the file a command writes, standard input
    // for the one it reads.
    if (c->needsArgument && o.argument == "-") o.argument = c->writesFile ? "/dev/stdout" : "/dev/stdin";
    if (o.repeat > 0 && o.command != "read" && o.command != "refresh") {
        std::fprintf(stderr, "moltrix-cli: --repeat is for read and refresh only\n");
        return kUsage;
    }
    if (!o.expect.empty() && !c->checksums) {
        std::fprintf(stderr, "moltrix-cli: %s handles no bytes to check with --expect\n", c->name);
        return kUsage;
    }
    return std::nullopt;
}

}  // namespace moltrix::cli
