// Prints what the core's hot paths cost on this machine: a port access through a
// register write with a port that does nothing, and appending log entries.
#include <chrono>
#include <cstdio>

#include "bench_services.h"
#include "platform/services.h"
#include "shell/programmer.h"

namespace {
using namespace moltrix;
using bench::FixedClock;
using bench::Quiet;
using bench::ScratchDir;
using Clock = std::chrono::steady_clock;

struct NullPort : platform::PortIo {
    void PortOut(std::uint16_t, std::uint8_t) override {}
    std::uint8_t PortIn(std::uint16_t) override { return 0xFF; }
};
double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

}  // namespace

int main() {
    NullPort port;
    FixedClock clock;
    Quiet quiet;
    ScratchDir scratch;
    platform::Services svc{port, clock, quiet, quiet, quiet, quiet, quiet, quiet, scratch.Paths()};
    Programmer core(svc);
    auto& r = core.regs;
    r.InitStrobeTables();
    r.PortBase = 0x378;
    r.BoardModel = 6;
    r.SetupPortModel();

    for (std::int32_t count : {2, 12}) {
        r.StrobeDelayCount = count;
        constexpr int kWrites = 5'000'000;
        auto t0 = Clock::now();
        for (int i = 0; i < kWrites; ++i) {
            r.Reg2 = static_cast<std::int16_t>(i & 0xFF);
            r.SetReg2();
        }
        auto t1 = Clock::now();
        std::printf("SetReg2, strobe delay %2d passes: %.2f ns per port access (%d register writes, 4 accesses each)\n",
                    count, Seconds(t0, t1) * 1e9 / (kWrites * 4.0), kWrites);
    }

    constexpr int kEntries = 100'000;
    auto t0 = Clock::now();
    for (int i = 0; i < kEntries; ++i) core.log.AddLogLine("Address: " + std::to_string(i) + " programmed");
    auto t1 = Clock::now();
    std::printf("AddLogLine: %d entries in %.1f ms (%.0f ns each), log text %zu bytes\n", kEntries,
                Seconds(t0, t1) * 1e3, Seconds(t0, t1) * 1e9 / kEntries, core.log.Text().size());
    return 0;
}
