#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace moltrix::sim {

enum class ChipFamily : std::uint8_t { Eprom, JedecFlash, PageEeprom, SerialEeprom };

// One board line: bit `bit` of register `reg`. reg = -1 means "not wired"
// (for power: the socket's own VCC, always on).
struct BoardLine {
    std::int8_t reg = -1;
    std::int8_t bit = 0;
    constexpr bool Wired() const { return reg >= 0; }
};

// How a part of one device type sits in the board's 32-pin socket: which
// register bit reaches which of its pins. The board's socket is wired like a
// 32-pin EPROM; 24- and 28-pin parts sit at its bottom end, so some of their
// pins (power among them) land on lines that normally carry address bits.
//
// Common to every parallel type: A0-A7 = register 2, A8-A15 = register 1
// (as far as the part has those lines), CE = register 3 bit 7 (low active),
// OE = register 0 bit 6 (low active).
struct SocketProfile {
    std::string_view type;          // catalogue type code, e.g. "P4", "FM", "SB"
    ChipFamily family;
    std::uint32_t size;             // bytes
    std::uint8_t address_lines;     // A0..A(n-1) taken from registers 2 and 1 ...
    std::array<BoardLine, 4> a16_a19;  // ... and A16-A19 from these lines
    BoardLine a14;                  // A14 moved to another line (X28C256), else unwired
    // Program / write strobe. For parts programmed by the end of a CE low
    // pulse it is unwired and `ce_pulse` is set.
    BoardLine strobe;
    bool ce_pulse;
    std::int8_t vpp_route_bit;      // register-0 bit routing the programming voltage, -1 none
    bool vpp_on_oe;                 // that voltage arrives on the OE pin
    bool verify_with_vpp;           // drives in program-verify (CE off, OE on, voltage on)
    BoardLine power;                // VCC of the part; unwired = socket VCC
    bool power_active_high;
    std::uint8_t reg1_held_high;    // lines the catalogue keeps at 1 (power, strobes, VPP pin)
    std::uint8_t reg3_held_high;
    // Two-wire parts only.
    BoardLine scl;
    BoardLine gnd;                  // must read 0 for the part to have ground
    BoardLine wp;
    std::array<BoardLine, 3> device_pins;  // A0, A1, A2 pins
};

// The whole table, one row per type code.
std::span<const SocketProfile> SocketProfiles();

// Row for a type code, or nullptr for a code the board has no wiring for.
const SocketProfile* FindSocketProfile(std::string_view type);

}  // namespace moltrix::sim
