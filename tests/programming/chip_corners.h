#pragma once
// The timing corners the electrically erasable parts are programmed at: the
// chip's datasheet-typical and maximum timings, the speed slider at its
// slowest, start-up and fastest positions, an ISA and a ppdev port.
#include <random>
#include <string>

#include "operations/op_bench.h"

namespace moltrix::testing {

struct ChipCorner {
    const char* name;
    sim::TimingCorner timing;
    int slider;
    sim::Nanos access;
};
inline constexpr ChipCorner kChipCorners[] = {
    {"typical, slider 18, ISA port", sim::TimingCorner::Typical, 18, sim::kMicrosecond},
    {"typical, slider 20, ISA port", sim::TimingCorner::Typical, 20, sim::kMicrosecond},
    {"typical, slider 1, ppdev port", sim::TimingCorner::Typical, 1, 1500},
    {"maximum, slider 20, ISA port", sim::TimingCorner::Maximum, 20, sim::kMicrosecond},
    {"maximum, slider 18, ppdev port", sim::TimingCorner::Maximum, 18, 1500},
    {"maximum, slider 1, ISA port", sim::TimingCorner::Maximum, 1, sim::kMicrosecond},
};

// A board (a MOLTRIX-6 unless told) with `part` selected at a corner, random
// bytes in the code buffer over the device and different random bytes in the chip.
struct ChipBench : OpBench {
    ChipBench(const std::string& part, const ChipCorner& c, int model = 6) : OpBench(model, part, c.timing) {
        ports.Time().access_time = c.access;
        p().form.Slider1.SetValue(c.slider);
        FillRandom(11);
        std::mt19937 gen(3);
        auto& code = p().buffers.CodeBuffer;
        for (std::int32_t a = 0; a < p().selection.DeviceSize; ++a)
            code[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(gen());
    }
    bool ChipHoldsBuffer(std::size_t count) {
        return std::equal(Chip().begin(), Chip().begin() + static_cast<std::ptrdiff_t>(count),
                          p().buffers.CodeBuffer.begin());
    }
    std::uint64_t IgnoredWrites() {
        std::uint64_t n = 0;
        for (auto w : board.counters().writes_ignored) n += w;
        return n;
    }
};

}  // namespace moltrix::testing
