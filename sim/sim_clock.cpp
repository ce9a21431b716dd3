#include "sim/sim_clock.h"

#include <chrono>
#include <thread>

#include "platform/plain_clock.h"

namespace moltrix::sim {

void SimClock::Sleep(int milliseconds) {
    if (milliseconds <= 0) return;
    time_.Advance(static_cast<Nanos>(milliseconds) * kMillisecond);
    slept_ms_ += milliseconds;
    if (real_sleep_) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SimClock::Spin(std::int32_t passes) {
    if (passes <= 0) return;
    time_.Advance(Times(static_cast<std::uint64_t>(passes), time_.pass_time));
    spun_passes_ += passes;
    if (passes == watched_length_) ++watched_spins_;
    if (real_sleep_) platform::SpinPasses(passes);
}

platform::LocalDateTime SimClock::Now() { return fixed_ ? *fixed_ : platform::LocalNow(); }

std::string SimClock::FormatTime(const platform::LocalDateTime& t) { return platform::PlainTime(t); }

std::string SimClock::FormatShortDate(const platform::LocalDateTime& t) { return platform::PlainShortDate(t); }

}  // namespace moltrix::sim
