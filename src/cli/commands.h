#pragma once
// The commands of the command line, each a short script of operator actions
// on the core's form and handlers.
#include <optional>

#include "options.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::cli {

// Prints the catalogue. Returns the exit status.
int ListCatalogue();
// The catalogue row --device names (0 when none was given), or nothing after
// reporting a usage error: unknown name (with close matches), refused row,
// or a command that needs a device without one.
std::optional<int> CheckDevice(const Options& o);
// Whether the command runs the probe itself (probe, export-log, ports --probe).
bool ProbesAgain(const Options& o);
// Runs the command on a started core. Returns the exit status.
int RunCommand(Programmer& p, const Options& o, int deviceRow);

}  // namespace moltrix::cli
