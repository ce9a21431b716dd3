// The paced busy wait on this PC: what measuring the loop costs at start-up,
// what a pass of the loop costs, and how long waits of the counts the program
// uses really last (their goal: 20 ns a pass, never less).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/busy_wait.h"

int main() {
    using namespace moltrix::platform;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    LoopMachine& pc = ThisPc();
    const double perPass = pc.NanosPerPass();
    const double measuring = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("busy_wait_bench: %s\n", LoopSpeedText(perPass).c_str());
    std::printf("  measuring the loop at start-up: %.2f ms\n", measuring);
    std::printf("  %-10s %-12s %-12s %-12s %s\n", "passes", "goal", "median", "shortest", "longest");
    for (std::int32_t passes : {2, 12, 52, 202, 1002, 40002, 200002}) {
        std::vector<double> took;
        const int rounds = passes > 10000 ? 50 : 2000;
        for (int i = 0; i < rounds; ++i) {
            const std::int64_t t0 = pc.NowNanos();
            PacedSpin(pc, passes);
            took.push_back(static_cast<double>(pc.NowNanos() - t0));
        }
        std::sort(took.begin(), took.end());
        const double goal = static_cast<double>(passes) * static_cast<double>(kPassNanos);
        std::printf("  %-10d %-12.0f %-12.0f %-12.0f %.0f   (ns)\n", passes, goal, took[took.size() / 2], took.front(),
                    took.back());
    }
    return 0;
}
