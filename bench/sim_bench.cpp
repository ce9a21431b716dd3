// Simulated port accesses per second on one core: a whole 27C080 (1 MiB)
// read through a model-6 board, the way an operator program reads it
// (address registers loaded when they change, CE/OE on, two nibble reads
// per byte), through the PortIo interface.
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "platform/port_io.h"
#include "sim/bench_setup.h"
#include "sim/simulated_ports.h"

namespace {

using moltrix::platform::PortIo;

constexpr std::uint16_t kBase = 0x378;
constexpr std::uint8_t kIdle[5] = {0x05, 0x0D, 0x07, 0x0F, 0x01};
constexpr std::uint8_t kPulse[5] = {0x04, 0x0C, 0x06, 0x0E, 0x00};

void Set(PortIo& io, int reg, std::uint8_t value) {
    io.PortOut(kBase, value);
    io.PortOut(kBase + 2, kIdle[reg]);
    io.PortOut(kBase + 2, kPulse[reg]);
    io.PortOut(kBase + 2, kIdle[reg]);
}

std::uint32_t ReadDevice(PortIo& io, std::uint32_t size) {
    std::uint32_t sum = 0;
    Set(io, 0, 0x00);  // OE on
    for (std::uint32_t a = 0; a < size; ++a) {
        if ((a & 0xFFFF) == 0) Set(io, 3, static_cast<std::uint8_t>(0x40 | ((a >> 16) & 0x0F)));
        if ((a & 0xFF) == 0) Set(io, 1, static_cast<std::uint8_t>(a >> 8));
        Set(io, 2, static_cast<std::uint8_t>(a));
        io.PortOut(kBase + 2, 0x05);
        const std::uint8_t low = io.PortIn(kBase + 1);
        io.PortOut(kBase + 2, 0x01);
        const std::uint8_t high = io.PortIn(kBase + 1);
        sum += static_cast<std::uint32_t>(((low >> 3) & 0x0F) | ((high << 1) & 0xF0));
    }
    return sum;
}

}  // namespace

int main() {
    moltrix::sim::SimulatedPorts ports;
    const auto setup = moltrix::sim::ParseBenchSetup("6@378:27C080");
    if (const std::string error = moltrix::sim::ApplyBenchSetup(setup, ports); !error.empty()) {
        std::fprintf(stderr, "sim_bench: %s\n", error.c_str());
        return 1;
    }
    auto& memory = ports.BoardAt(kBase)->chip()->Memory();
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint8_t>(i * 7);
    ports.BoardAt(kBase)->RefreshChip();

    // Through a pointer the compiler cannot see through, so every access is
    // a real virtual call, as from the program.
    PortIo* volatile io_pointer = &ports;
    PortIo& io = *io_pointer;
    const std::uint32_t size = static_cast<std::uint32_t>(memory.size());
    std::uint32_t expected = 0;
    for (std::uint8_t b : memory) expected += b;

    const int rounds = 3;
    const moltrix::sim::Nanos start_time = ports.Time().Now();
    const auto start = std::chrono::steady_clock::now();
    std::uint32_t sum = 0;
    for (int r = 0; r < rounds; ++r) sum = ReadDevice(io, size);
    const auto end = std::chrono::steady_clock::now();

    const double seconds = std::chrono::duration<double>(end - start).count();
    const double accesses = static_cast<double>(ports.PortWrites() + ports.PortReads());
    std::printf("sim_bench: %d reads of a 1 MiB 27C080 on a model-6 board\n", rounds);
    std::printf("  port accesses:        %.0f\n", accesses);
    std::printf("  wall time:            %.3f s\n", seconds);
    std::printf("  accesses per second:  %.1f million (goal 10)\n", accesses / seconds / 1e6);
    std::printf("  one device read:      %.3f s\n", seconds / rounds);
    std::printf("  ... in simulated time: %.3f s (%.1f us a port access)\n",
                static_cast<double>(ports.Time().Now() - start_time) / 1e9 / rounds,
                static_cast<double>(ports.Time().access_time) / 1e3);
    std::printf("  checksum:             %s\n", sum == expected ? "ok" : "WRONG");
    return sum == expected ? 0 : 2;
}
