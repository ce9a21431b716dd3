#include "platform/busy_wait.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/clock.h"

namespace moltrix::platform {
namespace {

// The loop runs this long at most between two reads of the clock, so that a
// change of processor speed can stretch a wait by no more than about this.
constexpr double kRunNanos = 1000.0;

// Loop passes to run now: enough for the time still to go (by what a pass
// was found to cost) and the passes still owed, but no longer than one run.
std::int32_t NextRun(LoopMachine& machine, std::int64_t timeLeft, std::int64_t passesLeft) {
    const double perPass = std::max(machine.NanosPerPass(), 0.01);
    const double byTime = static_cast<double>(std::max<std::int64_t>(timeLeft, 0)) / perPass;
    const double wanted = std::max(byTime, static_cast<double>(passesLeft));
    const double cap = machine.SteadySpeed() ? 2e9 : std::max(1.0, kRunNanos / perPass);
    return static_cast<std::int32_t>(std::clamp(wanted, 1.0, cap));
}

void Wait(LoopMachine& machine, std::int64_t nanos, std::int64_t passes) {
    std::int64_t now = machine.NowNanos();
    const std::int64_t end = now + nanos;
    do {
        const std::int32_t run = NextRun(machine, end - now, passes);
        machine.RunPasses(run);
        passes -= run;
        now = machine.NowNanos();
    } while (now < end || passes > 0);
}

class RealLoop : public LoopMachine {
public:
    std::int64_t NowNanos() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void RunPasses(std::int32_t passes) override { SpinPasses(passes); }
    double NanosPerPass() override {
        static const double measured = Measure();
        return measured;
    }

private:
    // The best of a few runs of about a millisecond each: the least a pass
    // costs when nothing else runs.
    double Measure() {
        std::int32_t passes = 1 << 14;
        double best = 0;
        for (int round = 0; round < 12; ++round) {
            const std::int64_t start = NowNanos();
            SpinPasses(passes);
            const std::int64_t took = NowNanos() - start;
            const double each = static_cast<double>(took) / passes;
            if (took < 1'000'000 && passes < (1 << 28)) {
                passes *= 2;  // too short to tell yet
                continue;
            }
            best = best == 0 ? each : std::min(best, each);
        }
        return best > 0 ? best : 1.0;
    }
};

}  // namespace

void PacedSpin(LoopMachine& machine, std::int32_t passes) {
    if (passes < 1) return;
    Wait(machine, static_cast<std::int64_t>(passes) * kPassNanos, passes);
}

void SpinNanos(LoopMachine& machine, std::int64_t nanos) {
    if (nanos < 1) return;
    Wait(machine, nanos, 1);
}

std::string LoopSpeedText(double nanosPerPass) {
    char text[128];
    std::snprintf(text, sizeof text, "busy-wait loop: %.2f ns a pass (board delays count %d ns a pass%s)", nanosPerPass,
                  static_cast<int>(kPassNanos), nanosPerPass > kPassNanos ? ", or this loop's own where slower" : "");
    return text;
}

LoopMachine& ThisPc() {
    static RealLoop pc;
    return pc;
}

}  // namespace moltrix::platform
