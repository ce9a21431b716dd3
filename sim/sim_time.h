#pragma once
#include <cstdint>
#include <limits>

namespace moltrix::sim {

// Simulated time in nanoseconds since the bench was switched on. Port
// accesses, the program's busy-wait passes and clock sleeps advance it; chips
// measure their pulses, write and erase cycles against it. It never runs by
// itself.
using Nanos = std::uint64_t;

inline constexpr Nanos kNever = std::numeric_limits<Nanos>::max();
inline constexpr Nanos kMicrosecond = 1000;
inline constexpr Nanos kMillisecond = 1000 * kMicrosecond;
inline constexpr Nanos kSecond = 1000 * kMillisecond;

// `delay` after `at`, staying at kNever rather than running past it: a time
// or a delay of kNever means "never".
constexpr Nanos Later(Nanos at, Nanos delay) { return delay >= kNever - at ? kNever : at + delay; }

// `count` times `each`, kNever where it would not fit.
constexpr Nanos Times(std::uint64_t count, Nanos each) {
    return each != 0 && count > (kNever - 1) / each ? kNever : count * each;
}

// The clock of the bench and what the PC's actions cost in it: the same
// costs reach the ports (every access) and the bench's platform clock (every
// busy-wait pass), so a pulse lasts what it would on the PC being emulated.
class SimTime {
public:
    // An ISA-speed parallel port; a ppdev access costs about 1.5 us.
    static constexpr Nanos kDefaultAccessTime = kMicrosecond;
    // A loop pass on a modern CPU; about 20 ns emulates a PC of the board's era.
    static constexpr Nanos kDefaultPassTime = 1;

    Nanos Now() const { return now_; }
    void Advance(Nanos delta) { now_ = Later(now_, delta); }

    Nanos access_time = kDefaultAccessTime;  // one port read or write
    Nanos pass_time = kDefaultPassTime;      // one busy-wait pass of the program

private:
    Nanos now_ = 0;
};

}  // namespace moltrix::sim
