// Prints what a whole-chip erase and program cost on the simulated bench for
// the electrically erasable parts, and a program and verify of the serial
// EEPROMs, at datasheet-typical and maximum chip timings: simulated time
// (what the board would take) and wall time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

#include "sim_core.h"

namespace {
using namespace moltrix;

struct Setup : bench::SimCore {
    Setup(const char* part, sim::TimingCorner corner, int slider) : SimCore(6, part, corner) {
        core.form.Slider1.SetValue(slider);
        std::mt19937 gen(5);
        auto& chip = board.chip()->Memory();
        for (auto& b : chip) b = static_cast<std::uint8_t>(gen());
        board.RefreshChip();
        for (std::int32_t a = 0; a < core.selection.DeviceSize; ++a)
            core.buffers.CodeBuffer[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(gen());
    }
    // Runs `command`; prints its simulated and wall time and whether `done` holds.
    void Time(const char* what, const std::function<void()>& command, const std::function<bool()>& done) {
        const auto simStart = ports.Time().Now();
        const auto wallStart = std::chrono::steady_clock::now();
        command();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double simulated = static_cast<double>(ports.Time().Now() - simStart) / 1e9;
        std::printf("    %-8s %7.2f s simulated, %6.2f s wall%s\n", what, simulated, wall, done() ? "" : "  FAILED");
    }
};

}  // namespace

int main() {
    struct Part {
        const char* name;
        bool chipErase;  // the X28C256 has none: its erase is a program of FFh
    };
    std::printf("Whole-chip erase and program, model 6, 1 us per access, 1 ns per pass, random image\n");
    for (const Part part : {Part{"AM29F040", true}, Part{"AT29C256", true}, Part{"X28C256", false}}) {
        for (const auto corner : {sim::TimingCorner::Typical, sim::TimingCorner::Maximum}) {
            for (int slider : {18, 20}) {
                Setup s(part.name, corner, slider);
                std::printf("  %s, %s chip timings, slider %d:\n", part.name,
                            corner == sim::TimingCorner::Typical ? "typical" : "maximum", slider);
                const auto& chip = s.board.chip()->Memory();
                s.Time("erase", [&] { s.core.erase.EraseFlash_button_Click(); },
                       [&] { return std::all_of(chip.begin(), chip.end(), [](auto b) { return b == 0xFF; }); });
                s.Time("program", [&] { s.core.program.Program_button_Click(); },
                       [&] { return std::equal(chip.begin(), chip.end(), s.core.buffers.CodeBuffer.begin()); });
            }
        }
    }
    std::printf("Serial EEPROMs: whole-chip program, then verify\n");
    for (const char* part : {"24C08", "24C32"}) {
        for (const auto corner : {sim::TimingCorner::Typical, sim::TimingCorner::Maximum}) {
            for (int slider : {1, 18, 20}) {
                Setup s(part, corner, slider);
                std::printf("  %s, %s write cycle, slider %d:\n", part,
                            corner == sim::TimingCorner::Typical ? "typical" : "maximum", slider);
                const auto& chip = s.board.chip()->Memory();
                s.Time("program", [&] { s.core.program.Program_button_Click(); },
                       [&] { return std::equal(chip.begin(), chip.end(), s.core.buffers.CodeBuffer.begin()); });
                s.Time("verify", [&] { s.core.checks.Verify_button_Click(); },
                       [&] { return s.core.outcome.Last() == feedback::Outcome::Ok; });
            }
        }
    }
    return 0;
}
