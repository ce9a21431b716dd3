#pragma once
// Busy waits that last the same on every PC. The board's short delays are
// counts of loop passes, and one pass is pinned to 20 ns, the pass of a PC of
// the board's era: a wait of N passes runs the loop until N x 20 ns have gone
// by on the monotonic clock, and never fewer than N passes of this PC's own
// loop (a PC slower than 20 ns a pass cannot make a delay shorter). The clock
// is read between short runs of the loop, so a processor that changes its
// speed while waiting (turbo, power saving) does not change the length.
#include <cstdint>
#include <string>

namespace moltrix::platform {

inline constexpr std::int64_t kPassNanos = 20;

// What a busy wait runs on: a monotonic time and the loop itself.
class LoopMachine {
public:
    virtual ~LoopMachine() = default;
    virtual std::int64_t NowNanos() = 0;
    // Runs `passes` turns of the loop (at least 1), really, on the processor.
    virtual void RunPasses(std::int32_t passes) = 0;
    // What one pass was found to cost, to size the runs between clock reads.
    virtual double NanosPerPass() = 0;
    // A loop whose pass cost never changes (an emulated one) needs no short
    // runs: the clock is read once the passes should be done.
    virtual bool SteadySpeed() { return false; }
};

// Waits `passes` pinned passes: until passes x 20 ns have gone by and at
// least `passes` loop passes have run. Nothing for a count below 1.
void PacedSpin(LoopMachine& machine, std::int32_t passes);
// Waits until `nanos` have gone by (at least one loop pass). Nothing below 1.
void SpinNanos(LoopMachine& machine, std::int64_t nanos);

// "busy-wait loop: 0.93 ns a pass (board delays count 20 ns a pass)": what a
// bug report about timing needs to know of the PC.
std::string LoopSpeedText(double nanosPerPass);

// This PC: the steady clock and a loop through a volatile counter that the
// optimiser cannot remove. Its pass cost is measured on first use.
LoopMachine& ThisPc();

}  // namespace moltrix::platform
