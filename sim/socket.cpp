#include "sim/socket.h"

namespace moltrix::sim {
namespace {

inline bool Level(const std::array<std::uint8_t, 5>& regs, BoardLine line) {
    return (regs[static_cast<std::size_t>(line.reg)] >> line.bit) & 1;
}

}  // namespace

void Socket::Insert(std::unique_ptr<Chip> chip, const SocketProfile& profile) {
    chip_ = std::move(chip);
    profile_ = &profile;
    const unsigned low_lines = profile.address_lines > 16 ? 16 : profile.address_lines;
    low_mask_ = (1u << low_lines) - 1;
    if (profile.a14.Wired()) low_mask_ &= ~0x4000u;
}

std::unique_ptr<Chip> Socket::Remove() {
    profile_ = nullptr;
    return std::move(chip_);
}

ChipPins Socket::Pins(const std::array<std::uint8_t, 5>& regs, std::uint16_t vpp_tenths) const {
    ChipPins p;
    if (!profile_) return p;
    const SocketProfile& s = *profile_;
    p.board_drives = (regs[3] & 0x40) == 0;
    p.data = regs[4];
    p.powered = !s.power.Wired() || Level(regs, s.power) == s.power_active_high;
    if (s.family == ChipFamily::SerialEeprom) {
        if (s.gnd.Wired() && Level(regs, s.gnd)) p.powered = false;  // ground line lifted
        p.scl = Level(regs, s.scl);
        p.sda = p.board_drives ? (regs[4] & 0x80) != 0 : true;
        p.wp = Level(regs, s.wp);
        for (std::size_t i = 0; i < s.device_pins.size(); ++i) {
            if (s.device_pins[i].Wired() && Level(regs, s.device_pins[i])) p.device_pins |= 1u << i;
        }
        return p;
    }
    std::uint32_t address = (regs[2] | (regs[1] << 8)) & low_mask_;
    if (s.a14.Wired() && Level(regs, s.a14)) address |= 0x4000;
    for (std::size_t i = 0; i < s.a16_a19.size(); ++i) {
        if (s.a16_a19[i].Wired() && Level(regs, s.a16_a19[i])) address |= 1u << (16 + i);
    }
    p.address = address;
    p.ce = (regs[3] & 0x80) == 0;
    p.vpp = vpp_tenths != 0 && s.vpp_route_bit >= 0 && ((regs[0] >> s.vpp_route_bit) & 1);
    p.vpp_tenths = p.vpp ? vpp_tenths : 0;
    p.vpp_on_oe = s.vpp_on_oe && p.vpp;
    p.oe = (regs[0] & 0x40) == 0 && !p.vpp_on_oe;
    p.strobe = s.strobe.Wired() && !Level(regs, s.strobe);
    return p;
}

}  // namespace moltrix::sim
