// The simulated bench's set-up text (--bench). Only the parser runs here,
// never ApplyBenchSetup, which reads and creates image files. Besides the
// sanitizers: an accepted set-up holds at most one board per port, each a
// model 4, 5 or 6 on one of the three ports; a refused one keeps nothing.
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
    if (setup.boards.size() > 3) __builtin_trap();
    unsigned seen = 0;
    for (const BoardSetup& b : setup.boards) {
        const unsigned bit = b.port == 0x378 ? 1 : b.port == 0x278 ? 2 : b.port == 0x3BC ? 4 : 0;
        if (bit == 0 || (seen & bit) != 0) __builtin_trap();
        seen |= bit;
        if (b.model < 4 || b.model > 6) __builtin_trap();
        if (b.vpp_tenths != 0 && b.model != 4) __builtin_trap();
        if (b.device.empty() && (!b.image.empty() || b.chip.corner || b.chip.hard || !b.chip.dead.empty() ||
                                 b.chip.stuck0 || b.chip.stuck1 || b.chip.seed))
            __builtin_trap();
    }
    return 0;
}
