#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/busy_wait.h"
#include "platform/clock.h"
#include "sim/sim_time.h"

namespace moltrix::sim {

// The platform clock for the simulated bench. Sleep() advances simulated
// time by its length, so chips see their write and erase cycles pass. Spin()
// and SpinNanos() run the program's own paced busy wait on the bench's loop,
// whose pass costs the time's `pass_time` of simulated time: a wait of N
// passes lasts N x 20 ns, or N x `pass_time` on a PC slower than that, as on
// a real PC, so the program's busy waits set the width of its pulses. With
// `real_sleep` they also wait for real (the interactive bench mode); tests
// leave it off. Now() gives a fixed date when one is set, else the real local
// time.
class SimClock : public platform::Clock {
public:
    explicit SimClock(SimTime& time, bool real_sleep = false)
        : time_(time), real_sleep_(real_sleep) {}

    void Sleep(int milliseconds) override;
    void Spin(std::int32_t passes) override;
    void SpinNanos(std::int64_t nanos) override;
    platform::LocalDateTime Now() override;
    std::int64_t MonotonicMicros() override { return static_cast<std::int64_t>(time_.Now() / kMicrosecond); }
    std::string FormatTime(const platform::LocalDateTime& t) override;       // "HH:MM:SS"
    std::string FormatShortDate(const platform::LocalDateTime& t) override;  // "MM/DD/YYYY"

    void SetFixedNow(const platform::LocalDateTime& t) { fixed_ = t; }
    long long TotalSleptMs() const { return slept_ms_; }
    long long TotalSpunPasses() const { return spun_passes_; }
    // Counts the busy waits of exactly `passes` passes from now on (one length
    // at a time), for tests that look for one particular wait.
    void WatchSpinsOf(std::int32_t passes) {
        watched_length_ = passes;
        watched_spins_ = 0;
    }
    long long WatchedSpins() const { return watched_spins_; }

private:
    // Runs a busy wait on the bench's loop; in real-time mode the PC then
    // spins as long for real.
    void Paced(const std::function<void(platform::LoopMachine&)>& wait);
    SimTime& time_;
    const bool real_sleep_;
    std::optional<platform::LocalDateTime> fixed_;
    long long slept_ms_ = 0;
    long long spun_passes_ = 0;
    std::int32_t watched_length_ = -1;
    long long watched_spins_ = 0;
};

}  // namespace moltrix::sim
