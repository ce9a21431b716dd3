#pragma once
// What the command line asks for, and its parser (CLI11).
#include <optional>
#include <string>
#include <vector>

namespace moltrix::cli {

struct Options {
    std::string command;
    std::string argument;  // FILE or PAGE; a FILE of "-" becomes "/dev/stdin" or "/dev/stdout"
    std::string device;
    std::string port = "auto";  // "auto", an address in hex or a device such as /dev/parport1
    bool probe = false;         // ports: also look for the board
    int model = 0;  // 0: as found
    std::optional<std::string> simulate;
    bool realTime = false;
    int speed = 0;  // 0: as the device selection leaves it
    std::string pulse;  // "datasheet", microseconds, or empty: the speed slider's pulses
    std::string byte = "both";
    std::string vpp;  // "5", "12.5", "21", "25"; empty: the device's preselection
    bool blankCheck = false, verify = false;
    bool yes = false;
    bool quiet = false;
    std::string format;  // read: "raw", "ihex" or "srec"; empty: from the file's extension
    int repeat = 0;      // read, refresh: how many reads of the chip; 0: one
    std::vector<std::string> expect;  // NAME=VALUE: checksums the bytes handled must have
};


// Parses the command line. Returns an exit status to end with at once (help
// shown, or bad usage reported on standard error), or nothing to go on.
std::optional<int> ParseOptions(int argc, char** argv, Options& options);

// Whether the command writes its file to standard output ("-"), where the
// log lines then must not go.
bool WritesStandardOutput(const Options& options);

}  // namespace moltrix::cli
