#pragma once
// Refreshing a fading UV EPROM in place. Its programmed 0s lose charge over
// the years and begin to read as 1; pulses with the same data put the charge
// back without erasing. A pulse can only clear bits, so a refresh writes the
// bytes where the chip still has a 1 the file wants at 0, and refuses before
// any pulse when the file wants a 1 where the chip holds a 0: only UV light
// sets a bit again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "operations/compare.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

inline constexpr std::size_t kListedNeedingErase = 8;
// Passes of the Program routine over the bytes that still read faded.
inline constexpr int kRefreshPasses = 25;
// Passes in a row after which a byte has to read right to be done.
inline constexpr int kCleanPasses = 3;

struct RefreshPlan {
    std::vector<bool> rewrite;   // per address: the chip has a 1 to clear
    std::size_t rewriteCount = 0;
    std::size_t needEraseCount = 0;  // bytes where the file wants a 0 to become 1
    std::vector<operations::ByteDifference> firstNeedingErase;  // the first kListedNeedingErase
};

// What the reads of a chip gave, byte by byte: the bits that read 1 in any
// read, and those that read 0 in any.
struct ReadBits {
    std::vector<std::uint8_t> anyOne, anyZero;
    void Add(std::size_t address, std::uint8_t byte) {
        anyOne[address] |= byte;
        anyZero[address] |= static_cast<std::uint8_t>(~byte);
    }
};

// The plan from the reads against the file: a bit that read 1 in any read
// where the file has 0 is to be cleared (a weak bit reads right most of the
// time); a bit that read 0 in any read where the file has 1 needs erasing.
RefreshPlan PlanRefresh(const std::vector<std::uint8_t>& file, const ReadBits& reads);

// The refresh command on the selected EPROM with the file in the code
// buffer: the chip read `reads` times over the bytes the verify compares, then
// the Program command on the bytes to rewrite only (its safety question once,
// its routine), the chip read again and the pass repeated while bytes still
// read faded, and the verify. The outcome says how it ended; NeedsErase when
// it refused.
void RefreshDevice(Programmer& p, int reads);

}  // namespace moltrix::programming
