// The paced busy wait: N passes last N x 20 ns on a fast loop, N of the
// loop's own passes on a slow one, and keep their length when the loop's
// speed changes while they run.
#include <gtest/gtest.h>

#include "platform/busy_wait.h"

namespace moltrix::platform {
namespace {

// A loop whose passes cost `cost` ns of its clock, until `changeAt` when
// they cost `laterCost`; it was measured at `measured` ns a pass.
struct ModelLoop : LoopMachine {
    double measured;
    std::int64_t cost, laterCost, changeAt;
    std::int64_t now = 0, passes = 0, clockReads = 0;
    ModelLoop(double m, std::int64_t c, std::int64_t later = 0, std::int64_t at = -1)
        : measured(m), cost(c), laterCost(later), changeAt(at) {}
    std::int64_t NowNanos() override {
        ++clockReads;
        return now;
    }
    void RunPasses(std::int32_t n) override {
        for (std::int32_t i = 0; i < n; ++i) now += changeAt >= 0 && now >= changeAt ? laterCost : cost;
        passes += n;
    }
    double NanosPerPass() override { return measured; }
};

TEST(PacedSpin, APassLasts20nsOrTheLoopsOwnPassWhenThatIsSlower) {
    const struct {
        std::int64_t cost;
        std::int32_t count;
        std::int64_t lasts;
    } cases[] = {{1, 1000, 20'000}, {5, 2, 40}, {20, 202, 4040}, {50, 1000, 50'000}, {1, 0, 0}, {1, -4, 0}};
    for (const auto& c : cases) {
        ModelLoop loop(static_cast<double>(c.cost), c.cost);
        PacedSpin(loop, c.count);
        EXPECT_EQ(loop.now, c.lasts) << c.cost << " ns a pass, " << c.count << " passes";
        EXPECT_GE(loop.passes, c.count);
    }
}

TEST(PacedSpin, KeepsItsLengthWhenTheProcessorChangesSpeedWhileWaiting) {
    // Measured at 1 ns a pass, then twice as slow halfway through an 800 us
    // pulse (power saving), or twice as fast (turbo).
    for (std::int64_t later : {2, 0}) {
        ModelLoop loop(1.0, later == 0 ? 2 : 1, later == 0 ? 1 : 2, 400'000);
        PacedSpin(loop, 40'000);
        EXPECT_GE(loop.now, 800'000);
        EXPECT_LE(loop.now, 800'000 + 2'000) << "overran by more than one run between clock reads";
        EXPECT_GT(loop.clockReads, 100) << "the clock must be read while waiting, not trusted once";
    }
    ModelLoop slow(1.0, 1);
    SpinNanos(slow, 100'000);
    EXPECT_EQ(slow.now, 100'000);
}

TEST(PacedSpin, ThisPcsLoopRunsAndHasAMeasuredSpeed) {
    LoopMachine& pc = ThisPc();
    EXPECT_GT(pc.NanosPerPass(), 0.0);
    const std::int64_t start = pc.NowNanos();
    PacedSpin(pc, 5000);
    EXPECT_GE(pc.NowNanos() - start, 5000 * kPassNanos);  // never shorter; no upper bound on a shared machine
}

}  // namespace
}  // namespace moltrix::platform
