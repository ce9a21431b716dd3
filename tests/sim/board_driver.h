#pragma once
// A minimal driver for the tests: writes registers with the board protocol
// (data byte to base; control = idle code; control = pulse code; control =
// idle code) using the published code tables, and reads bytes back through
// the nibble multiplexer. Written from the board description, on purpose not
// using the program's own board layer.
#include <cstdint>

#include "platform/port_io.h"

namespace moltrix::sim::testing {

struct Codes {
    std::uint8_t idle[5];
    std::uint8_t pulse[5];
    std::uint8_t nibble_low;
    std::uint8_t nibble_high;
};

inline constexpr Codes kModel4Codes{{0x0A, 0x02, 0x08, 0x00, 0x0E},
                                    {0x0B, 0x03, 0x09, 0x01, 0x0F},
                                    0x00,
                                    0x04};
inline constexpr Codes kModel56Codes{{0x05, 0x0D, 0x07, 0x0F, 0x01},
                                     {0x04, 0x0C, 0x06, 0x0E, 0x00},
                                     0x05,
                                     0x01};

inline constexpr const Codes& CodesFor(int model) { return model == 4 ? kModel4Codes : kModel56Codes; }

class BoardDriver {
public:
    BoardDriver(platform::PortIo& io, std::uint16_t base, int model)
        : io_(io), base_(base), model_(model), codes_(CodesFor(model)) {}

    void Set(int reg, std::uint8_t value) {
        regs_[reg] = value;
        io_.PortOut(base_, value);
        io_.PortOut(base_ + 2, codes_.idle[reg]);
        io_.PortOut(base_ + 2, codes_.pulse[reg]);
        io_.PortOut(base_ + 2, codes_.idle[reg]);
    }
    void SetBits(int reg, std::uint8_t mask, bool on) {
        Set(reg, static_cast<std::uint8_t>(on ? regs_[reg] | mask : regs_[reg] & ~mask));
    }

    std::uint8_t Status() { return io_.PortIn(base_ + 1); }

    // One byte from the data lines through the nibble multiplexer.
    std::uint8_t ReadByte() {
        io_.PortOut(base_ + 2, codes_.nibble_low);
        const std::uint8_t s1 = Status();
        io_.PortOut(base_ + 2, codes_.nibble_high);
        const std::uint8_t s2 = Status();
        return static_cast<std::uint8_t>(Nibble(s1) | (Nibble(s2) << 4));
    }

    // One byte read with OE on: register 0 = 00h for the read, 40h after.
    std::uint8_t ReadWithOe() {
        Set(0, 0x00);
        const std::uint8_t v = ReadByte();
        Set(0, 0x40);
        return v;
    }

    // Data bit 7 alone (one status read of the high nibble).
    bool ReadD7() {
        io_.PortOut(base_ + 2, codes_.nibble_high);
        return (Nibble(Status()) & 0x08) != 0;
    }

    // Address lines: A0-A7 register 2, A8-A15 register 1, and `reg3_low` into
    // register-3 bits 0-3 (bits 4-7 kept).
    void SetAddress(std::uint16_t low16, std::uint8_t reg3_low = 0) {
        Set(1, static_cast<std::uint8_t>(low16 >> 8));
        Set(2, static_cast<std::uint8_t>(low16 & 0xFF));
        Set(3, static_cast<std::uint8_t>((regs_[3] & 0xF0) | (reg3_low & 0x0F)));
    }

private:
    std::uint8_t Nibble(std::uint8_t s) const {
        if (model_ == 4) {
            return static_cast<std::uint8_t>(((s >> 6) & 1) | ((s & 0x80) ? 0 : 2) |
                                             (((s >> 5) & 1) << 2) | (((s >> 4) & 1) << 3));
        }
        return static_cast<std::uint8_t>((s >> 3) & 0x0F);
    }

    platform::PortIo& io_;
    std::uint16_t base_;
    int model_;
    Codes codes_;
    std::uint8_t regs_[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

}  // namespace moltrix::sim::testing
