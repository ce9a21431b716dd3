#include "sim/sim_clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

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
    if (real_sleep_) platform::SpinPasses(passes);
}

platform::LocalDateTime SimClock::Now() {
    if (fixed_) return *fixed_;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string SimClock::FormatTime(const platform::LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

std::string SimClock::FormatShortDate(const platform::LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", t.month, t.day, t.year);
    return text;
}

}  // namespace moltrix::sim
