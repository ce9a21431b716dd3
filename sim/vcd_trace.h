#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/sim_time.h"

namespace moltrix::sim {

// Value-change-dump writer for the board's lines: registers 0-4, the data
// bus, and SCL/SDA of a two-wire chip. GTKWave and PulseView open the file.
// Only changes are written; the timescale is 1 ns of simulated time.
class VcdTrace {
public:
    enum Signal : std::uint8_t { kReg0, kReg1, kReg2, kReg3, kReg4, kData, kScl, kSda, kCount };

    VcdTrace() = default;
    ~VcdTrace();
    VcdTrace(const VcdTrace&) = delete;
    VcdTrace& operator=(const VcdTrace&) = delete;

    using Levels = std::array<std::uint32_t, kCount>;

    // Creates the file; `levels` are the lines' values at time `t`.
    bool Open(const std::string& path, const Levels& levels, Nanos t, std::string* error);
    void Close();

    // Records `value` for `signal` at time `t` if it differs from the last one.
    void Change(Signal signal, std::uint32_t value, Nanos t) {
        if (file_ && value != last_[signal]) Write(signal, value, t);
    }

private:
    void Write(Signal signal, std::uint32_t value, Nanos t);

    std::FILE* file_ = nullptr;
    Levels last_{};
    Nanos last_time_ = kNever;
};

}  // namespace moltrix::sim
