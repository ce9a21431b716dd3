// Prints what the EPROM routines cost on the simulated bench: pulses per byte
// for typical and hard-to-program chips, the slider positions at which hard
// chips still program, and the time, pulses and port accesses to program a
// whole 27C256, 27C512, 27C010 and 27C080 at the default speed and with the
// datasheet pulse widths, next to the datasheets' own typical times.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

#include "sim/eprom.h"
#include "sim_core.h"

namespace {
using namespace moltrix;

struct Setup : bench::SimCore {
    Setup(int model, const char* part, int volts, bool hard, int slider, std::size_t bytes) : SimCore(model, part) {
        if (hard) static_cast<sim::Eprom*>(board.chip())->settings.hard = true;
        core.form.Voltage_button.Click(volts);
        core.form.Slider1.SetValue(slider);
        auto& code = core.buffers.CodeBuffer;
        std::fill(code.begin(), code.end(), 0xFF);
        std::mt19937 gen(3);
        for (std::size_t a = 0; a < bytes; ++a) code[a] = static_cast<std::uint8_t>(gen() & 0x7F);  // never FFh
    }
    bool Programmed(std::size_t bytes) {
        const auto& chip = board.chip()->Memory();
        return std::equal(chip.begin(), chip.begin() + static_cast<std::ptrdiff_t>(bytes), core.buffers.CodeBuffer.begin());
    }
    void Pulses(std::size_t bytes, double& mean, unsigned& most) {
        const auto& count = board.counters().pulses.count;
        std::uint64_t sum = 0;
        most = 0;
        for (std::uint32_t a = 0; a < bytes; ++a) {
            sum += count[a];
            most = std::max(most, count[a]);
        }
        mean = static_cast<double>(sum) / static_cast<double>(bytes);
    }
};

struct Routine {
    const char* routine;
    const char* part;
    int model, volts;
};
constexpr Routine kRoutines[] = {
    {"P2732", "2732A", 6, 2},    {"P2764_128", "27C64", 6, 1}, {"P2764_128", "27128", 6, 2},
    {"P27256_040", "27C256", 6, 1}, {"P27080", "27C080", 6, 1}, {"P27010_020", "27C010", 6, 1},
};

}  // namespace

int main() {
    constexpr std::size_t kSample = 2048;
    std::printf("Pulses per byte (%zu bytes of data, model 6, 1 us per access, a PC loop of 1 ns a pass, the program's\n"
                "busy waits 20 ns a pass)\n", kSample);
    for (const Routine& r : kRoutines) {
        double typicalMean = 0, hardMean = 0;
        unsigned typicalMost = 0, hardMost = 0;
        Setup typical(r.model, r.part, r.volts, false, 18, kSample);
        typical.core.program.Program_button_Click();
        typical.Pulses(kSample, typicalMean, typicalMost);
        Setup hard(r.model, r.part, r.volts, true, 1, kSample);
        hard.core.program.Program_button_Click();
        hard.Pulses(kSample, hardMean, hardMost);
        std::string positions;
        for (int slider = 1; slider <= 20; ++slider) {
            Setup s(r.model, r.part, r.volts, true, slider, 16);
            s.core.program.Program_button_Click();
            if (s.Programmed(16)) positions += (positions.empty() ? "" : " ") + std::to_string(slider);
        }
        std::printf("  %-10s %-7s typical (slider 18): %5.1f mean, %3u most%s; hard (slider 1): %5.1f mean, %3u most%s\n"
                    "             hard chips program at slider positions: %s\n",
                    r.routine, r.part, typicalMean, typicalMost, typical.Programmed(kSample) ? "" : " FAILED", hardMean,
                    hardMost, hard.Programmed(kSample) ? "" : " FAILED", positions.empty() ? "none" : positions.c_str());
    }

    struct Whole {
        Routine r;
        double datasheetSeconds;
    };
    const Whole wholeChips[] = {{kRoutines[3], 4.0},
                                {{"P27080", "27C512", 6, 1}, 7.0},
                                {kRoutines[5], 16.0},
                                {kRoutines[4], 52.5}};
    for (const auto& [r, datasheetSeconds] : wholeChips) {
      for (bool datasheet : {false, true}) {
        Setup s(r.model, r.part, r.volts, false, 18, 0);
        if (datasheet) s.core.pulse.Set(programming::PulseWidth::kDatasheet);
        const std::size_t size = static_cast<std::size_t>(s.core.selection.DeviceSize);
        std::mt19937 gen(11);
        for (std::size_t a = 0; a < size; ++a) s.core.buffers.CodeBuffer[a] = static_cast<std::uint8_t>(gen());
        const auto accesses = s.ports.PortWrites() + s.ports.PortReads();
        const auto simStart = s.ports.Time().Now();
        const auto wallStart = std::chrono::steady_clock::now();
        s.core.program.Program_button_Click();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double simulated = static_cast<double>(s.ports.Time().Now() - simStart) / 1e9;
        double mean = 0;
        unsigned most = 0;
        s.Pulses(size, mean, most);
        std::printf("Program a whole %s (%zu random bytes, %s): %.2f s simulated (datasheet typical %.1f s), "
                    "%.2f pulses a byte (most %u), %.2f s wall, %.1f port accesses per byte%s\n",
                    r.part, size, datasheet ? "datasheet pulses" : "slider 18", simulated, datasheetSeconds, mean, most,
                    wall,
                    static_cast<double>(s.ports.PortWrites() + s.ports.PortReads() - accesses) / static_cast<double>(size),
                    s.Programmed(size) ? "" : " FAILED");
      }
    }
    return 0;
}
