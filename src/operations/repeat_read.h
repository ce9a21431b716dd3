#pragma once
// Reading a chip several times and keeping, bit by bit, what most reads gave:
// a fading EPROM bit reads 0 one time and 1 the next, and a single read (or
// two that happen to agree) can back up the wrong value.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace moltrix {
class Programmer;
}

namespace moltrix::operations {

// A bit that did not read the same every time.
struct WaveringBit {
    std::uint32_t address = 0;
    int bit = 0;  // 0 to 7
    int ones = 0, zeros = 0;
    bool Split() const { return ones == zeros; }
};

// The reads' votes, bit by bit.
class BitVotes {
public:
    // The first read fixes the size; a later one of another size counts only
    // over the bytes both have.
    void Add(std::span<const std::uint8_t> read);
    int Reads() const { return reads_; }
    // Each bit as most reads gave it. An even split keeps 0: an EPROM or
    // flash bit fades from 0 to 1, never back, so a 0 read once was
    // programmed.
    std::vector<std::uint8_t> Majority() const;
    // Every bit that read both ways, by address and bit.
    std::vector<WaveringBit> Wavering() const;

private:
    int reads_ = 0;
    std::vector<std::uint8_t> first_;
    std::vector<std::uint8_t> differs_;   // per byte: bits that ever read unlike the first read
    std::vector<std::uint8_t> ones_;      // per bit (address * 8 + bit): reads that gave 1
};

struct RepeatedRead {
    int reads = 0;
    std::vector<WaveringBit> wavering;
    bool Agreed() const { return wavering.empty(); }
    bool AnySplit() const;
};

inline constexpr int kMaxRepeatedReads = 255;

// The Read command `times` times (1 to kMaxRepeatedReads); the code buffer
// then holds the majority image. Nothing when a read did not complete (the
// outcome and the log say why).
std::optional<RepeatedRead> ReadRepeatedly(Programmer& p, int times);

// The report's lines: how many reads, and each wavering bit with its counts.
std::vector<std::string> RepeatedReadReport(const RepeatedRead& r);

}  // namespace moltrix::operations
