// Prints what a full read and a full verify of a 1 MiB 27C080 cost on the
// simulated bench: simulated time (what a PC of the set port speed would
// take), wall time of this machine, and port accesses per byte.
#include <chrono>
#include <cstdio>
#include <random>

#include "bench_services.h"
#include "shell/programmer.h"
#include "sim/bench_setup.h"
#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

int main() {
    using namespace moltrix;
    using Wall = std::chrono::steady_clock;
    sim::SimulatedPorts ports;
    sim::Board& board = ports.AttachBoard(0x378, 6);
    sim::SimClock clock(ports.Time());
    bench::Quiet quiet;
    bench::ScratchDir scratch;
    platform::Services svc{ports, clock, quiet, quiet, quiet, quiet, quiet, quiet, scratch.Paths()};
    Programmer core(svc);
    core.Form_Load();  // the probe, with the socket still empty
    sim::InsertDevice(board, "27C080");
    std::mt19937 gen(1);
    for (auto& b : board.chip()->Memory()) b = static_cast<std::uint8_t>(gen());
    board.RefreshChip();
    core.form.Device.SetListIndex(21);  // "Eprom 27C080"

    auto measure = [&](const char* what, auto&& run) {
        const auto accesses = ports.PortWrites() + ports.PortReads();
        const auto simStart = ports.Time().Now();
        const auto wallStart = Wall::now();
        run();
        const double wall = std::chrono::duration<double>(Wall::now() - wallStart).count();
        const double simulated = static_cast<double>(ports.Time().Now() - simStart) / 1e9;
        const double perByte =
            static_cast<double>(ports.PortWrites() + ports.PortReads() - accesses) / core.buffers.CodeSize;
        std::printf("%s of %d bytes: %.3f s simulated (1 us per access), %.3f s wall, %.2f port accesses per byte\n",
                    what, core.buffers.CodeSize, simulated, wall, perByte);
    };
    measure("Read", [&] { core.checks.Read_button_Click(); });
    measure("Verify", [&] { core.checks.Verify_button_Click(); });
    const bool matched = core.checks.VerifyFailed == 0;
    std::printf("verify %s\n", matched ? "matched" : "FAILED");
    return matched ? 0 : 1;
}
