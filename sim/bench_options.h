#pragma once
// The parts of the bench set-up text after the boards' names: bench-wide
// settings, board options, and their values. Each parser returns an error
// text naming the fault, empty on success.
#include <string>
#include <string_view>

#include "sim/bench_setup.h"
#include "sim/chip.h"

namespace moltrix::sim {

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
