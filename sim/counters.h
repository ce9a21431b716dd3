#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "sim/sim_time.h"

namespace moltrix::sim {

// One value per address of the chip in the socket, in a flat array allocated
// on the first count and sized to the chip (a 27C080 has a million
// addresses). Reading an address never counted gives 0.
template <class T>
class PerAddress {
public:
    T operator[](std::uint32_t address) const { return address < values_.size() ? values_[address] : T{}; }
    // The slot of `address` in a chip of `size` bytes.
    T& Slot(std::uint32_t address, std::uint32_t size) {
        if (values_.size() < size) values_.resize(size, T{});
        return values_[address];
    }
    bool Empty() const { return values_.empty(); }  // nothing counted yet

private:
    std::vector<T> values_;
};

// Programming pulses by address: a pulse is one stretch of the program
// condition (the part's strobe active, CE and OE as the part needs) with the
// programming voltage on its VPP pin, from its start to its end.
struct PulseCounters {
    PerAddress<std::uint32_t> count;            // pulses that reached the address
    PerAddress<Nanos> width;                    // their summed width
    PerAddress<std::uint16_t> last_vpp_tenths;  // voltage of the latest, tenths of a volt
    std::uint64_t total = 0;                    // pulses, all addresses
    std::uint64_t over_voltage = 0;             // pulses more than 1 V over the part's rating
    std::uint64_t under_voltage = 0;            // pulses more than 0.5 V under it (no charge)
};

// A two-wire chip's view of the bus.
struct SerialCounters {
    std::uint64_t starts = 0;      // start conditions the chip took
    std::uint64_t stops = 0;       // stop conditions the chip took
    std::uint64_t stops_lost = 0;  // stops the master made that the chip did not take
    std::uint64_t acks = 0;        // acknowledges the chip gave
    std::uint64_t busy_nacks = 0;  // its own device byte left unacknowledged: write cycle running
    std::array<std::uint64_t, 256> device_bytes{};  // first byte after each start, by value
};

// What one board saw. Tests read these to check what the program did to the
// hardware, not what it believes it did.
//
//   latches[n]            register n took the data lines (trailing edge of its strobe)
//   contention_events     register 4 and the chip began to drive the data lines together
//   contention_reads      status reads while the two drove at least one line to
//                         different levels (those lines read random bits)
//   writes_ignored[why]   write pulses (WE with CE low) the chip did not take:
//     kChipBusy             a program, erase or write cycle was running
//     kOeLow                OE was low while WE and CE were (the part inhibits the write)
//     kProtected            bytes dropped by write protection: software data protection
//                           of a page EEPROM, the WP pin of a serial one
//     kUnlockAborted        a write the command sequence does not accept: a wrong
//                           address or byte in an unlock cycle, an unknown command, a
//                           write in read mode that starts no sequence
//   reads_while_busy      read cycles (CE and OE becoming active) during a program, erase
//                         or write cycle: what a polling routine does, and what a read-back
//                         too early gets
//   program_ops[a]        byte program operations begun at address a (flash A0h writes,
//                         page EEPROM bytes in a write cycle)
//   pulses                EPROM programming pulses, see PulseCounters
//   serial                two-wire bus events, see SerialCounters; a stop is lost when
//                         the chip held SDA low so the line never rose (a stop inside an
//                         acknowledge or a 0 bit), or when the chip had no power or was
//                         still powering up
//   flash_commands[c]     command byte c taken after the unlock cycles
//   write_cycles          page or serial write cycles begun, protected ones included
//   unloaded_bytes_erased AT29C256 page bytes erased by a write cycle without being loaded
struct BoardCounters {
    enum IgnoredWrite : std::uint8_t { kChipBusy, kOeLow, kProtected, kUnlockAborted, kIgnoredReasons };

    std::array<std::uint64_t, 5> latches{};
    std::uint64_t contention_events = 0;
    std::uint64_t contention_reads = 0;
    std::array<std::uint64_t, kIgnoredReasons> writes_ignored{};
    std::uint64_t reads_while_busy = 0;
    PerAddress<std::uint32_t> program_ops;
    PulseCounters pulses;
    SerialCounters serial;
    std::array<std::uint64_t, 256> flash_commands{};
    std::uint64_t write_cycles = 0;
    std::uint64_t unloaded_bytes_erased = 0;
};

}  // namespace moltrix::sim
