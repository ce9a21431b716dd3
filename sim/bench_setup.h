#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chip.h"
#include "sim/device_models.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim {

// The set-up text's syntax, for the --help of the program's front ends.
inline constexpr char kBenchSetupHelp[] =
    "Bench set-up text: items separated by commas, each a board or a bench-wide setting.\n"
    "  MODEL@PORT[:DEVICE[=IMAGE]][;OPTION]...\n"
    "                      a board of model 4, 5 or 6 on a port: 378, 278, 3BC, or any other\n"
    "                      address (hex), as a PCI or PCIe card's D010 or FFF8; DEVICE is\n"
    "                      a catalogue name (27C256) or a type code (P4), none for an empty\n"
    "                      socket; IMAGE a raw file that keeps the chip's contents between runs\n"
    "  NAME=VALUE          a bench-wide setting\n"
    "Bench-wide settings (TIME in ns, us, ms or s; decimals allowed, whole nanoseconds):\n"
    "  access=TIME         one port access (default 1us; ppdev takes about 1.5us)\n"
    "  pass=TIME           one pass of the PC's busy-wait loop (default 1ns; 20ns a PC of the board's\n"
    "                      era); the program's delays count 20ns a pass, or this where slower\n"
    "Board options:\n"
    "  vpp=12.5|21|25      model 4 only: its one programming-voltage level (default 12.5)\n"
    "  typical, max        the chip's timing at the datasheet typical (default) or maximum;\n"
    "                      flash, page and serial EEPROMs\n"
    "  hard                EPROM: every cell needs the datasheet maximum pulse time\n"
    "  weak=ADDR:BIT       EPROM: a programmed 0 nearly gone, read as 1 about one read in four\n"
    "                      until the cell is programmed again (hex address, bit 0-7; may repeat)\n"
    "  drift=N             EPROM: N of the image's programmed 0 bits have leaked to 1 for good\n"
    "  dead=ADDR           a cell that never programs (hex address; may repeat)\n"
    "  stuck0=MASK         data lines stuck at 0 (hex)\n"
    "  stuck1=MASK         data lines stuck at 1 (hex)\n"
    "  noerase             flash (29F0x0, AT29C256): the chip erase never finishes\n"
    "  protect             page EEPROM: software data protection on\n"
    "  noack               serial EEPROM: acknowledges nothing\n"
    "  seed=N              draws the chip's cell-to-cell spread and its random bits, weak\n"
    "                      reads and drifted bits among them (decimal)\n"
    "Example: 4@378:27C256=chip.bin;vpp=12.5;dead=1F00,5@278,access=1.5us,pass=20ns\n";

// What a board's options ask of its chip.
struct ChipOptions {
    std::optional<TimingCorner> corner;
    bool hard = false;     // EPROM: every cell needs the maximum
    bool noerase = false;  // flash: the chip erase never finishes
    bool protect = false;  // page EEPROM: software data protection on
    bool noack = false;    // serial EEPROM: acknowledges nothing
    std::vector<std::uint32_t> dead;  // cells that never program
    std::vector<CellBit> weak;        // EPROM: programmed 0s that read 1 now and then
    std::uint32_t drift = 0;          // EPROM: how many of the image's 0 bits leaked to 1
    std::uint8_t stuck0 = 0;
    std::uint8_t stuck1 = 0;
    std::optional<std::uint64_t> seed;
};

// One board of a bench set-up.
struct BoardSetup {
    int model = 0;              // 4, 5 or 6
    std::uint16_t port = 0;     // 378h, 278h, 3BCh or a card's address
    std::string device;         // catalogue name or type code; empty = empty socket
    std::string image;          // raw image file for the chip's contents; may be empty
    std::uint16_t vpp_tenths = 0;  // model 4's programming voltage; 0 = the board's own default
    ChipOptions chip;
};

struct BenchSetup {
    std::vector<BoardSetup> boards;
    std::optional<Nanos> access_time;  // port access cost; unset = the ports' default
    std::optional<Nanos> pass_time;    // busy-wait pass cost; unset = the default
    std::string error;                 // empty when the text was understood
    bool ok() const { return error.empty(); }
};

// Parses the one-line set-up text (see kBenchSetupHelp), e.g.
// "6@378:27C256=chip.bin", "5@278", "4@3BC:SB,6@378:AM29F040",
// "4@378:27C256;vpp=21;hard,access=1.5us". PORT is hexadecimal (an "0x"
// prefix or "h" suffix is allowed); the image path ends at the first ';'. An
// option that does not apply to the chip in the socket is refused. On
// malformed text `error` names what is wrong and no board is kept.
BenchSetup ParseBenchSetup(std::string_view text);

// The set-up text as the window names the bench: image files without their
// folders ("6@378:27C256=/home/ann/chip.bin" gives "6@378:27C256=chip.bin").
std::string BenchName(std::string_view text);

// Puts a new chip of the named part (catalogue name or type code) in the
// board's socket. Returns nullptr and sets `error` for an unknown part.
Chip* InsertDevice(Board& board, std::string_view device, std::uint64_t seed = 1,
                   std::string* error = nullptr, TimingCorner corner = TimingCorner::Typical);

// Builds the set-up's boards and chips on `ports` and sets its costs; a chip
// whose image file exists is loaded from it (a missing file leaves the chip
// erased: it is created on the first save), then its options are applied.
// `seed` is for chips without a seed option. Returns an error text, empty on
// success.
std::string ApplyBenchSetup(const BenchSetup& setup, SimulatedPorts& ports, std::uint64_t seed = 1);

// Saves every chip whose socket names an image file. Returns an error text,
// empty on success.
std::string SaveImages(SimulatedPorts& ports);

}  // namespace moltrix::sim
