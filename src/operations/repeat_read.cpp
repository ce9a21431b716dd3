#include "operations/repeat_read.h"

#include <algorithm>
#include <cstdio>

#include "shell/programmer.h"

namespace moltrix::operations {

void BitVotes::Add(std::span<const std::uint8_t> read) {
    if (reads_++ == 0) {
        first_.assign(read.begin(), read.end());
        differs_.assign(read.size(), 0);
        ones_.assign(read.size() * 8, 0);
    }
    const std::size_t n = std::min(read.size(), first_.size());
    for (std::size_t a = 0; a < n; ++a) {
        const std::uint8_t byte = read[a];
        differs_[a] |= static_cast<std::uint8_t>(byte ^ first_[a]);
        for (int bit = 0; bit < 8; ++bit) ones_[a * 8 + static_cast<std::size_t>(bit)] += (byte >> bit) & 1;
    }
}

std::vector<std::uint8_t> BitVotes::Majority() const {
    std::vector<std::uint8_t> image = first_;
    for (std::size_t a = 0; a < image.size(); ++a) {
        if (differs_[a] == 0) continue;
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (2 * ones_[a * 8 + static_cast<std::size_t>(bit)] > reads_) byte |= static_cast<std::uint8_t>(1 << bit);
        image[a] = byte;
    }
    return image;
}

std::vector<WaveringBit> BitVotes::Wavering() const {
    std::vector<WaveringBit> bits;
    for (std::size_t a = 0; a < differs_.size(); ++a) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((differs_[a] >> bit & 1) == 0) continue;
            const int ones = ones_[a * 8 + static_cast<std::size_t>(bit)];
            bits.push_back({static_cast<std::uint32_t>(a), bit, ones, reads_ - ones});
        }
    }
    return bits;
}

bool RepeatedRead::AnySplit() const {
    return std::any_of(wavering.begin(), wavering.end(), [](const WaveringBit& w) { return w.Split(); });
}

std::optional<RepeatedRead> ReadRepeatedly(Programmer& p, int times) {
    auto& code = p.buffers.CodeBuffer;
    BitVotes votes;
    std::size_t size = 0;
    for (int i = 0; i < std::clamp(times, 1, kMaxRepeatedReads); ++i) {
        p.form.Read_button.Click();
        if (p.outcome.Last() != feedback::Outcome::Ok) return std::nullopt;
        size = static_cast<std::size_t>(std::clamp<std::int64_t>(p.buffers.CodeSize, 0, static_cast<std::int64_t>(code.size())));
        votes.Add(std::span(code.data(), size));
    }
    const std::vector<std::uint8_t> majority = votes.Majority();
    std::copy(majority.begin(), majority.end(), code.begin());
    return RepeatedRead{votes.Reads(), votes.Wavering()};
}

std::vector<std::string> RepeatedReadReport(const RepeatedRead& r) {
    std::vector<std::string> lines;
    const std::size_t n = r.wavering.size();
    if (n == 0) {
        lines.push_back("Read " + std::to_string(r.reads) + " times: every read gave the same bytes");
        return lines;
    }
    lines.push_back("Read " + std::to_string(r.reads) + " times: " + std::to_string(n) + (n == 1 ? " bit" : " bits") +
                    " did not read the same every time; the file holds each bit as most reads gave it");
    lines.push_back("Address  Bit  Read 1  Read 0  Kept");
    for (const WaveringBit& w : r.wavering) {
        char line[64];
        std::snprintf(line, sizeof line, "%06X   %d    %6d  %6d  %s", static_cast<unsigned>(w.address), w.bit, w.ones,
                      w.zeros, w.Split() ? "0 (no majority)" : w.ones > w.zeros ? "1" : "0");
        lines.push_back(line);
    }
    return lines;
}

}  // namespace moltrix::operations
