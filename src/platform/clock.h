#pragma once
#include <string>

namespace moltrix::platform {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

// Sleeps of a millisecond and more, the wall clock, and the user's date and
// time formats. Busy delays do not come here: they are counted loop passes.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(int milliseconds) = 0;
    virtual LocalDateTime Now() = 0;
    // Time of day in the user's locale time format, e.g. "17:51:07" or "5:51:07 PM".
    virtual std::string FormatTime(const LocalDateTime& t) = 0;
    // Date in the user's short date format.
    virtual std::string FormatShortDate(const LocalDateTime& t) = 0;
};

}  // namespace moltrix::platform
