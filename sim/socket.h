#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/chip.h"
#include "sim/chip_pins.h"
#include "sim/socket_profile.h"

namespace moltrix::sim {

// The board's one 32-pin socket: empty, or one chip sitting in it as its
// device type's profile says.
class Socket {
public:
    void Insert(std::unique_ptr<Chip> chip, const SocketProfile& profile);
    std::unique_ptr<Chip> Remove();

    Chip* chip() const { return chip_.get(); }
    bool Empty() const { return chip_ == nullptr; }
    bool Serial() const { return profile_ && profile_->family == ChipFamily::SerialEeprom; }

    // Where the chip's image file lives, if the bench set-up named one.
    std::string image_path;

    // The chip's pin levels for the given register contents and programming
    // voltage (0 = none generated).
    ChipPins Pins(const std::array<std::uint8_t, 5>& regs, std::uint16_t vpp_tenths) const;

private:
    std::unique_ptr<Chip> chip_;
    const SocketProfile* profile_ = nullptr;
    std::uint32_t low_mask_ = 0;
};

}  // namespace moltrix::sim
