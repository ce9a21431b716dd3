#pragma once
// The parts of the bench set-up text after the boards' names: bench-wide
// settings, board options, and their values. Each parser returns an error
// text naming the fault, empty on success.
#include <charconv>
#include <string>
#include <string_view>

#include "sim/bench_setup.h"
#include "sim/chip.h"

namespace moltrix::sim {

// Text helpers of the set-up parsers.
std::string_view Trim(std::string_view s);           // without blanks at either end
std::string Quote(std::string_view s);               // 's', for error texts

// A whole number in `base`, the whole text and nothing else.
template <class T>
bool ParseNumber(std::string_view text, int base, T& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// Hexadecimal, with an optional "0x" prefix or "h" suffix, as ports are written.
template <class T>
bool ParseHex(std::string_view text, T& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    if (!text.empty() && (text.back() == 'h' || text.back() == 'H')) text.remove_suffix(1);
    return ParseNumber(text, 16, out);
}

// "12.5us", "1.5 us", "20ns", "0.002s": a time of whole nanoseconds.
std::string ParseTime(std::string_view text, Nanos& out);

// One "NAME=VALUE" item: access=TIME or pass=TIME.
std::string ParseBenchSetting(std::string_view item, BenchSetup& setup);

// One board option (the text between ';'), for the board's model and device
// already parsed; refuses options that do not fit them.
std::string ParseBoardOption(std::string_view option, BoardSetup& board);

// Sets the chip's fault switches and settings as the options ask.
void ApplyChipOptions(const ChipOptions& options, Chip& chip);

}  // namespace moltrix::sim
