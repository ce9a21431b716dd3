#include "sim/socket_profile.h"

#include <array>

namespace moltrix::sim {
namespace {

constexpr BoardLine kNone{};
constexpr BoardLine R0(int bit) { return {0, static_cast<std::int8_t>(bit)}; }
constexpr BoardLine R1(int bit) { return {1, static_cast<std::int8_t>(bit)}; }
constexpr BoardLine R2(int bit) { return {2, static_cast<std::int8_t>(bit)}; }
constexpr BoardLine R3(int bit) { return {3, static_cast<std::int8_t>(bit)}; }

constexpr std::array<BoardLine, 4> kNoHigh{kNone, kNone, kNone, kNone};
constexpr std::array<BoardLine, 4> kA16{R3(0), kNone, kNone, kNone};
constexpr std::array<BoardLine, 4> kA17{R3(0), R3(1), kNone, kNone};
constexpr std::array<BoardLine, 4> kA18Eprom{R3(0), R3(1), R3(2), kNone};
constexpr std::array<BoardLine, 4> kA19Eprom{R3(0), R3(1), R3(2), R3(3)};
constexpr std::array<BoardLine, 4> kA18Flash{R3(0), R3(1), R3(3), kNone};
constexpr std::array<BoardLine, 3> kNoPins{kNone, kNone, kNone};
constexpr std::array<BoardLine, 3> kSerialPins{R2(3), R2(2), R2(1)};

constexpr std::uint32_t KB = 1024;

// Parallel row. Arguments in table order.
constexpr SocketProfile Parallel(std::string_view type, ChipFamily family, std::uint32_t size,
                                 int lines, std::array<BoardLine, 4> high, BoardLine a14,
                                 BoardLine strobe, bool ce_pulse, int vpp_bit,
                                 bool vpp_on_oe, bool verify_vpp, BoardLine power,
                                 std::uint8_t reg1_high, std::uint8_t reg3_high) {
    return SocketProfile{type,      family,    size,      static_cast<std::uint8_t>(lines),
                         high,      a14,       strobe,    ce_pulse,
                         static_cast<std::int8_t>(vpp_bit), vpp_on_oe, verify_vpp,
                         power,     true,      reg1_high, reg3_high,
                         kNone,     kNone,     kNone,     kNoPins};
}

constexpr SocketProfile Serial(std::string_view type, std::uint32_t size) {
    return SocketProfile{type,  ChipFamily::SerialEeprom, size, 0,     kNoHigh, kNone, kNone,
                         false, -1,   false,   false, R0(6), true,  0x00,
                         0x00,  R3(7), R2(0), R1(2), kSerialPins};
}

using F = ChipFamily;

// type | family | size | address lines | A16-A19 | A14 moved | strobe | CE pulse |
// VPP route (reg0 bit) | VPP on OE | verify with VPP | power |
// reg1 / reg3 lines held high
constexpr std::array kProfiles{
    Parallel("P1", F::Eprom, 4 * KB, 12, kNoHigh, kNone, kNone, true, 7, true, false, R1(5),
             0x20, 0x00),
    Parallel("P2", F::Eprom, 8 * KB, 13, kNoHigh, kNone, R1(6), false, 4, false, false, R3(1),
             0xC0, 0x02),
    Parallel("P3", F::Eprom, 16 * KB, 14, kNoHigh, kNone, R1(6), false, 4, false, false, R3(1),
             0xC0, 0x02),
    Parallel("P4", F::Eprom, 32 * KB, 15, kNoHigh, kNone, kNone, true, 4, false, true, R3(1),
             0x80, 0x02),
    Parallel("P5", F::Eprom, 64 * KB, 16, kNoHigh, kNone, kNone, true, 7, true, false, R3(1),
             0x00, 0x02),
    Parallel("P6", F::Eprom, 128 * KB, 17, kA16, kNone, R3(2), false, 5, false, false, kNone,
             0x00, 0x0C),
    Parallel("P7", F::Eprom, 256 * KB, 18, kA17, kNone, R3(2), false, 5, false, false, kNone,
             0x00, 0x0C),
    Parallel("P8", F::Eprom, 512 * KB, 19, kA18Eprom, kNone, kNone, true, 5, false, true, kNone,
             0x00, 0x08),
    Parallel("P9", F::Eprom, 1024 * KB, 20, kA19Eprom, kNone, kNone, true, 7, true, false, kNone,
             0x00, 0x00),
    Parallel("FS", F::JedecFlash, 128 * KB, 17, kA16, kNone, R3(2), false, -1, false, false, kNone,
             0x00, 0x04),
    Parallel("FR", F::JedecFlash, 256 * KB, 18, kA17, kNone, R3(2), false, -1, false, false, kNone,
             0x00, 0x04),
    Parallel("FM", F::JedecFlash, 512 * KB, 19, kA18Flash, kNone, R3(2), false, -1, false, false, kNone,
             0x00, 0x04),
    Parallel("FL", F::JedecFlash, 512 * KB, 19, kA18Flash, kNone, R3(2), false, -1, false, false, kNone,
             0x00, 0x04),
    Parallel("FA", F::PageEeprom, 32 * KB, 15, kNoHigh, kNone, R1(7), false, -1, false, false, R3(1),
             0x80, 0x02),
    Parallel("EN", F::PageEeprom, 32 * KB, 14, kNoHigh, R1(7), R1(6), false, -1, false, false, R3(1),
             0x40, 0x02),
    Serial("SA", 1 * KB),
    Serial("SB", 2 * KB),
    Serial("SC", 4 * KB),
};

}  // namespace

std::span<const SocketProfile> SocketProfiles() { return kProfiles; }

const SocketProfile* FindSocketProfile(std::string_view type) {
    for (const SocketProfile& p : kProfiles) {
        if (p.type == type) return &p;
    }
    return nullptr;
}

}  // namespace moltrix::sim
