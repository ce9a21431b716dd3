#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/simulated_ports.h"

namespace moltrix::sim {

// One board of a bench set-up.
struct BoardSetup {
    int model = 0;              // 4, 5 or 6
    std::uint16_t port = 0;     // 378h, 278h or 3BCh
    std::string device;         // catalogue name or type code; empty = empty socket
    std::string image;          // raw image file for the chip's contents; may be empty
};

struct BenchSetup {
    std::vector<BoardSetup> boards;
    std::string error;          // empty when the text was understood
    bool ok() const { return error.empty(); }
};

// Parses the one-line set-up text: boards separated by commas, each
//   MODEL@PORT[:DEVICE[=IMAGE]]
// e.g. "6@378:27C256=chip.bin", "5@278", "4@3BC:SB,6@378:AM29F040".
// PORT is hexadecimal (an "0x" prefix or "h" suffix is allowed). On malformed
// text `error` names what is wrong.
BenchSetup ParseBenchSetup(std::string_view text);

// Puts a new chip of the named part (catalogue name or type code) in the
// board's socket. Returns nullptr and sets `error` for an unknown part.
Chip* InsertDevice(Board& board, std::string_view device, std::uint64_t seed = 1,
                   std::string* error = nullptr);

// Builds the set-up's boards and chips on `ports`; a chip whose image file
// exists is loaded from it (a missing file leaves the chip erased: it is
// created on the first save). Returns an error text, empty on success.
std::string ApplyBenchSetup(const BenchSetup& setup, SimulatedPorts& ports, std::uint64_t seed = 1);

// Saves every chip whose socket names an image file. Returns an error text,
// empty on success.
std::string SaveImages(SimulatedPorts& ports);

}  // namespace moltrix::sim
