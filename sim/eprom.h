#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "sim/chip.h"
#include "sim/socket_profile.h"

namespace moltrix::sim {

// A UV EPROM (types P1-P9). Reads when powered with CE and OE low, no
// programming voltage on OE and PGM (if it has one) high; parts programmed
// by a CE pulse with the voltage on their VPP pin also drive the bus in
// program-verify (CE high, OE low, voltage on).
//
// A programming pulse ends when its strobe (PGM, or CE for CE-pulse parts)
// returns high while the rest of the program condition (CE low, OE high)
// held. It counts only if the programming voltage was present at both ends.
// Each cell needs a number of pulses with the same data before it takes that
// data (the cell becomes cell AND data); a pulse with other data starts the
// count again. The number is drawn per address from a seeded distribution:
// mostly 1-3, about one cell in 2,000 needing 60-120.
// Pulse width is not modelled; the simulator counts pulses.
class Eprom : public Chip {
public:
    Eprom(std::string name, const SocketProfile& profile, std::uint64_t seed);

    void Update(const ChipPins& pins, Nanos now) override;

    int PulsesNeeded(std::uint32_t address) const;
    void SetPulsesNeeded(std::uint32_t address, int pulses) { needed_override_[address] = pulses; }

    // Bench action: UV light. All cells FFh, pulse history forgotten.
    void Erase();

private:
    void Pulse(std::uint32_t address, std::uint8_t data);

    const bool ce_pulse_;
    const bool verify_with_vpp_;
    const std::uint64_t seed_;
    std::map<std::uint32_t, int> needed_override_;
    // Per cell, sized on the first pulse: the data of the latest pulse and
    // how many pulses in a row carried it (saturating).
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> pulse_data_;
    bool programming_ = false;            // inside a pulse
    bool pulse_vpp_ = false;              // voltage present when it began
};

}  // namespace moltrix::sim
