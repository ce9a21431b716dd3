#pragma once
// Datasheet maxima of the electrically erasable parts: how long the routines
// wait for a chip before they call it failed. A wait ends early as soon as the
// chip shows it is done; these bound it.
#include <cstdint>
#include <string>

#include "board/registers.h"
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

// AT29C256 and X28C256 take a page, and the AT29C256 its commands, as a run
// of byte loads, each write-enable pulse within 150 us (AT29C256) or 100 us
// (X28C256) of the one before; a longer gap ends the load and starts a write
// cycle. Six register writes lie between two pulses, so at the slow end of the
// speed slider their strobe waits alone (1,902 passes each) would end the
// load after the first byte. Inside a load every busy wait is held to the
// strobe wait of slider 10 with the usual factor, 52 passes: 1 us a wait on a
// PC of 20 ns a pass, 2.6 us on one of 50 ns, so six writes over a 1.5 us
// ppdev port take under 70 us between two pulses.
inline constexpr std::int32_t kByteLoadWaitPasses = 52;

class ByteLoadWindow {
public:
    explicit ByteLoadWindow(board::Registers& r) : r_(r), saved_(r.WaitCap) { r_.WaitCap = kByteLoadWaitPasses; }
    ~ByteLoadWindow() { r_.WaitCap = saved_; }
    ByteLoadWindow(const ByteLoadWindow&) = delete;
    ByteLoadWindow& operator=(const ByteLoadWindow&) = delete;

private:
    board::Registers& r_;
    std::int32_t saved_;
};

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
