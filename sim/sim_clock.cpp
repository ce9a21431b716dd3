#include "sim/sim_clock.h"

#include <chrono>
#include <thread>

#include <algorithm>

#include "platform/busy_wait.h"
#include "platform/plain_clock.h"

namespace moltrix::sim {

void SimClock::Sleep(int milliseconds) {
    if (milliseconds <= 0) return;
    time_.Advance(static_cast<Nanos>(milliseconds) * kMillisecond);
    slept_ms_ += milliseconds;
    if (real_sleep_) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {

// The emulated PC's loop: every pass costs `pass_time` of simulated time.
class BenchLoop : public platform::LoopMachine {
public:
    explicit BenchLoop(SimTime& time) : time_(time) {}
    std::int64_t NowNanos() override { return static_cast<std::int64_t>(time_.Now()); }
    void RunPasses(std::int32_t passes) override {  // no pass is free, or no wait would end
        time_.Advance(Times(static_cast<std::uint64_t>(passes), std::max<Nanos>(time_.pass_time, 1)));
    }
    double NanosPerPass() override { return static_cast<double>(std::max<Nanos>(time_.pass_time, 1)); }
    bool SteadySpeed() override { return true; }

private:
    SimTime& time_;
};

}  // namespace

void SimClock::Paced(const std::function<void(platform::LoopMachine&)>& wait) {
    BenchLoop loop(time_);
    const Nanos start = time_.Now();
    wait(loop);
    if (real_sleep_) platform::SpinNanos(platform::ThisPc(), static_cast<std::int64_t>(time_.Now() - start));
}

void SimClock::Spin(std::int32_t passes) {
    if (passes <= 0) return;
    Paced([passes](platform::LoopMachine& loop) { platform::PacedSpin(loop, passes); });
    spun_passes_ += passes;
    if (passes == watched_length_) ++watched_spins_;
}

void SimClock::SpinNanos(std::int64_t nanos) {
    if (nanos <= 0) return;
    Paced([nanos](platform::LoopMachine& loop) { platform::SpinNanos(loop, nanos); });
}

platform::LocalDateTime SimClock::Now() { return fixed_ ? *fixed_ : platform::LocalNow(); }

std::string SimClock::FormatTime(const platform::LocalDateTime& t) { return platform::PlainTime(t); }

std::string SimClock::FormatShortDate(const platform::LocalDateTime& t) { return platform::PlainShortDate(t); }

}  // namespace moltrix::sim
