#pragma once
// The chip against a file, every difference counted: which bytes differ, the
// first of them with both values, and which way their bits went. Unlike the
// Verify command, which stops at the first difference, this reads the chip
// once over the whole file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace moltrix {
class Programmer;
}

namespace moltrix::operations {

inline constexpr std::size_t kListedDifferences = 16;

struct ByteDifference {
    std::uint32_t address = 0;
    std::uint8_t file = 0, chip = 0;
};

struct ImageComparison {
    std::size_t compared = 0, differing = 0;
    std::size_t beyondChip = 0;         // file bytes past the chip's end: not on the chip
    std::vector<ByteDifference> first;  // the first kListedDifferences, by address
    std::uint64_t onesForZeros = 0;     // bits the chip has at 1 where the file has 0
    std::uint64_t zerosForOnes = 0;     // bits the chip has at 0 where the file has 1
    // EPROM and flash: a cell is erased to 1 and programmed to 0, so a one-way
    // difference has a likely cause, which the report names.
    bool erasesToOnes = false;
};

ImageComparison CompareImages(std::span<const std::uint8_t> file, std::span<const std::uint8_t> chip);

// The report's lines, with a hint where every difference goes one way on a
// part that erases to 1s.
std::vector<std::string> ComparisonReport(const ImageComparison& c);

// Whether the chip holds the file: nothing differs and nothing lies past its end.
inline bool Matches(const ImageComparison& c) { return c.differing == 0 && c.beyondChip == 0; }

// Reads the chip (the Read command, over the working size, but never past the
// chip's end) and compares it with what the code buffer held before: the file
// just loaded. Nothing when the read did not complete (the outcome and the
// log say why).
std::optional<ImageComparison> CompareDeviceWithBuffer(Programmer& p);

}  // namespace moltrix::operations
