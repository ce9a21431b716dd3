#pragma once
#include <array>
#include <cstdint>
#include <map>

namespace moltrix::sim {

// Programming pulses one address received while the programming voltage was
// present, and the voltage (in tenths of a volt) of the last of them.
struct PulseRecord {
    std::uint32_t count = 0;
    std::uint16_t last_vpp_tenths = 0;
};

// What one board saw. Tests read these to check what the program did to the
// hardware, not what it believes it did.
struct BoardCounters {
    std::array<std::uint64_t, 5> latches{};   // per register 0-4
    std::uint64_t contention_events = 0;      // register 4 and the chip both driving
    std::map<std::uint32_t, PulseRecord> pulses;  // effective pulses by address
    std::uint64_t pulses_without_vpp = 0;     // strobes with no programming voltage
    std::map<std::uint8_t, std::uint64_t> flash_commands;  // command byte -> times seen
    std::uint64_t write_cycles = 0;           // page or serial write cycles started
    std::uint64_t unloaded_bytes_erased = 0;  // AT29C256 page bytes not loaded
};

}  // namespace moltrix::sim
