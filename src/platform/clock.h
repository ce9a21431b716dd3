#pragma once
#include <cstdint>
#include <string>

namespace moltrix::platform {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

// Runs `passes` turns of a loop through a volatile counter, so the optimiser
// cannot remove it: the busy wait of real clocks. Nothing for a count below 1.
inline void SpinPasses(std::int32_t passes) {
    volatile std::int32_t counter = 0;
    for (std::int32_t i = 0; i < passes; ++i) counter = counter + 1;
}

// Sleeps of a millisecond and more, the busy waits that pace the board's
// lines, the wall clock, and the user's date and time formats.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(int milliseconds) = 0;
    // Busy-waits `passes` loop passes of 20 ns each (nothing for a count
    // below 1; on a PC whose own loop is slower, `passes` of its passes).
    // Real clocks run PacedSpin on this PC; the simulator's runs it on the
    // bench's loop in simulated time, so pulse widths come out as the PC being
    // emulated would make them.
    virtual void Spin(std::int32_t passes) = 0;
    // Busy-waits `nanos` nanoseconds of (real or simulated) time: pulses timed
    // in microseconds rather than in passes.
    virtual void SpinNanos(std::int64_t nanos) = 0;
    virtual LocalDateTime Now() = 0;
    // Microseconds from an arbitrary start, never going back: what the chip
    // routines measure their waits and time-outs against. Simulated clocks
    // give simulated time.
    virtual std::int64_t MonotonicMicros() = 0;
    // Time of day in the user's locale time format, e.g. "17:51:07" or "5:51:07 PM".
    virtual std::string FormatTime(const LocalDateTime& t) = 0;
    // Date in the user's short date format.
    virtual std::string FormatShortDate(const LocalDateTime& t) = 0;
};

}  // namespace moltrix::platform
