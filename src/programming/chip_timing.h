#pragma once
// Datasheet maxima of the electrically erasable parts: how long the routines
// wait for a chip before they call it failed. A wait ends early as soon as the
// chip shows it is done; these bound it.
#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace moltrix::programming {

// 29F0x0 class: one byte program.
inline constexpr std::int64_t kFlashByteProgramMaxMicros = 300;
// AT29C256 and X28C256: one page write cycle.
inline constexpr std::int64_t kPageWriteCycleMaxMicros = 10'000;
// AT29C256: the page load ends, and the write cycle starts, once no write
// comes for 150 us; a little more to be sure.
inline constexpr std::int64_t kAt29c256LoadEndMicros = 200;
// AT29C256: chip erase.
inline constexpr std::int64_t kAt29c256EraseMaxMicros = 20'000;

// 29F0x0 class chip erase, by type code: about eight times the typical 1 s
// (128 KB), 2 s (256 KB) and 8 s (512 KB).
inline std::int64_t FlashChipEraseMaxMicros(const std::string& deviceType) {
    if (deviceType == "FS") return 8'000'000;
    if (deviceType == "FR") return 16'000'000;
    return 64'000'000;  // "FM", "FL": the 512 KB parts
}

// A wait's end on the platform's monotonic clock.
class Deadline {
public:
    Deadline(platform::Clock& clock, std::int64_t micros) : clock_(clock), end_(clock.MonotonicMicros() + micros) {}
    bool Passed() const { return clock_.MonotonicMicros() >= end_; }

private:
    platform::Clock& clock_;
    std::int64_t end_;
};

}  // namespace moltrix::programming
