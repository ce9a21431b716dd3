#pragma once
#include <cstdint>

namespace moltrix::sim {

// The levels the board puts on a chip's pins, already translated through the
// socket profile into the chip's own terms. "Active" means the pin is at its
// active level (CE, OE, WE, PGM are all active low on the parts).
struct ChipPins {
    bool powered = false;
    std::uint32_t address = 0;
    bool ce = false;
    bool oe = false;           // OE pin at a logic low (never while it carries VPP)
    bool strobe = false;       // WE / PGM pin low (parts that have one)
    bool vpp = false;          // programming voltage reaches the part
    bool vpp_on_oe = false;    // ... and sits on its OE pin
    std::uint16_t vpp_tenths = 0;
    bool board_drives = false; // register 4 drives the data lines
    std::uint8_t data = 0xFF;  // what register 4 offers (valid when board_drives)
    // Two-wire parts.
    bool scl = true;
    bool sda = true;           // the board's side of SDA (before the wired-AND)
    bool wp = false;
    std::uint8_t device_pins = 0;  // bit 0 = A0 pin, bit 1 = A1, bit 2 = A2
};

}  // namespace moltrix::sim
