#pragma once
#include <cstdint>
#include <limits>

namespace moltrix::sim {

// Simulated time in nanoseconds since the bench was switched on. Port
// accesses and clock sleeps advance it; chips measure their write and erase
// cycles against it. It never runs by itself.
using Nanos = std::uint64_t;

inline constexpr Nanos kNever = std::numeric_limits<Nanos>::max();
inline constexpr Nanos kMicrosecond = 1000;
inline constexpr Nanos kMillisecond = 1000 * kMicrosecond;

// `delay` after `at`, staying at kNever rather than running past it: a time
// or a delay of kNever means "never".
constexpr Nanos Later(Nanos at, Nanos delay) { return delay >= kNever - at ? kNever : at + delay; }

class SimTime {
public:
    Nanos Now() const { return now_; }
    void Advance(Nanos delta) { now_ = Later(now_, delta); }

private:
    Nanos now_ = 0;
};

}  // namespace moltrix::sim
