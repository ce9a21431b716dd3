#pragma once
// The PC's local time and the plain, locale-free time and date texts that
// clocks without a locale of their own show (the bench, the command line).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/clock.h"

namespace moltrix::platform {

inline LocalDateTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// The PC's steady clock in microseconds.
inline std::int64_t SteadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// "HH:MM:SS"
inline std::string PlainTime(const LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

// "MM/DD/YYYY"
inline std::string PlainShortDate(const LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", t.month, t.day, t.year);
    return text;
}

}  // namespace moltrix::platform
