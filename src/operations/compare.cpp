#include "operations/compare.h"

#include <bit>
#include <cstdio>

#include "shell/programmer.h"

namespace moltrix::operations {

ImageComparison CompareImages(std::span<const std::uint8_t> file, std::span<const std::uint8_t> chip) {
    ImageComparison c;
    c.compared = std::min(file.size(), chip.size());
    c.beyondChip = file.size() - c.compared;
    for (std::size_t i = 0; i < c.compared; ++i) {
        if (file[i] == chip[i]) continue;
        ++c.differing;
        if (c.first.size() < kListedDifferences) c.first.push_back({static_cast<std::uint32_t>(i), file[i], chip[i]});
        c.onesForZeros += static_cast<unsigned>(std::popcount(static_cast<unsigned>(chip[i] & ~file[i] & 0xFF)));
        c.zerosForOnes += static_cast<unsigned>(std::popcount(static_cast<unsigned>(file[i] & ~chip[i] & 0xFF)));
    }
    return c;
}

std::vector<std::string> ComparisonReport(const ImageComparison& c) {
    std::vector<std::string> lines;
    lines.push_back("Compared " + std::to_string(c.compared) + " bytes: " + std::to_string(c.differing) + " differ");
    if (c.beyondChip > 0) {
        char range[48];
        std::snprintf(range, sizeof range, " (%06zX to %06zX)", c.compared, c.compared + c.beyondChip - 1);
        lines.push_back("The file is larger than the chip: its last " + std::to_string(c.beyondChip) + " bytes" + range +
                        " are not on the chip");
    }
    if (c.differing == 0) return lines;
    lines.push_back("Address  File  Device");
    for (const ByteDifference& d : c.first) {
        char line[40];
        std::snprintf(line, sizeof line, "%06X   %02X    %02X", static_cast<unsigned>(d.address),
                      static_cast<unsigned>(d.file), static_cast<unsigned>(d.chip));
        lines.push_back(line);
    }
    if (c.differing > c.first.size())
        lines.push_back("... and " + std::to_string(c.differing - c.first.size()) + " more");
    lines.push_back("Bits at 1 where the file has 0: " + std::to_string(c.onesForZeros));
    lines.push_back("Bits at 0 where the file has 1: " + std::to_string(c.zerosForOnes));
    if (c.erasesToOnes && c.zerosForOnes == 0) lines.push_back("Only 1s where 0s were wanted: not erased, or not programmed?");
    if (c.erasesToOnes && c.onesForZeros == 0) lines.push_back("Only 0s where 1s were wanted: bits stuck at 0, or programmed over?");
    return lines;
}

std::optional<ImageComparison> CompareDeviceWithBuffer(Programmer& p) {
    auto& code = p.buffers.CodeBuffer;
    auto& workingSize = p.buffers.CodeSize;
    const auto size = static_cast<std::size_t>(std::clamp<std::int64_t>(workingSize, 0, static_cast<std::int64_t>(code.size())));
    const std::vector<std::uint8_t> file(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(size));
    // The chip is read over the file's size, but no further than the chip
    // goes: past its end the address lines wrap and the chip's start would
    // be read again. The working size is then what was read, as the buffer
    // holds it.
    const auto chipBytes = std::min<std::size_t>(size, static_cast<std::size_t>(std::max(0, p.selection.DeviceSize)));
    workingSize = static_cast<std::int32_t>(chipBytes);
    p.checks.Read_button_Click();
    if (p.outcome.Last() != feedback::Outcome::Ok) return std::nullopt;
    ImageComparison c = CompareImages(file, std::span(code.data(), chipBytes));
    c.erasesToOnes = p.selection.DeviceFamily == "P" || p.selection.DeviceFamily == "F";
    return c;
}

}  // namespace moltrix::operations
