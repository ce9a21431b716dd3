// The simulated bench's set-up text (--bench). Only the parser runs here,
// never ApplyBenchSetup, which reads and creates image files. Besides the
// sanitizers: an accepted set-up holds boards of model 4, 5 or 6 on ports
// whose three addresses lie in 1-FFFFh and overlap neither each other nor a
// standard port they are not; a refused one keeps nothing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/bench_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace moltrix::sim;
    const BenchSetup setup = ParseBenchSetup(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!setup.ok()) {
        if (!setup.boards.empty() || setup.access_time || setup.pass_time) __builtin_trap();
        return 0;
    }
    const auto overlap = [](unsigned a, unsigned b) { return a != b && a + 2 >= b && b + 2 >= a; };
    for (std::size_t i = 0; i < setup.boards.size(); ++i) {
        const BoardSetup& b = setup.boards[i];
        if (b.port == 0 || b.port > 0xFFFD) __builtin_trap();
        for (unsigned standard : {0x378u, 0x278u, 0x3BCu})
            if (overlap(b.port, standard)) __builtin_trap();
        for (std::size_t j = 0; j < i; ++j)
            if (setup.boards[j].port + 2 >= b.port && b.port + 2 >= setup.boards[j].port) __builtin_trap();
        if (b.model < 4 || b.model > 6) __builtin_trap();
        if (b.vpp_tenths != 0 && b.model != 4) __builtin_trap();
        if (b.device.empty() && (!b.image.empty() || b.chip.corner || b.chip.hard || !b.chip.dead.empty() ||
                                 b.chip.stuck0 || b.chip.stuck1 || b.chip.seed))
            __builtin_trap();
    }
    return 0;
}
