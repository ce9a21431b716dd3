#pragma once
// A core on one simulated board with one chip in the socket, the chip filled
// with a known pattern, and the device selected as an operator would.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sim/bench_setup.h"
#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"
#include "support/rig.h"

namespace moltrix::testing {

struct OpBench {
    // The probe at start-up runs with the socket empty, as the board's
    // instructions ask: its register patterns would put a programming voltage
    // on some parts' pins.
    OpBench(int model, const std::string& part, sim::TimingCorner corner = sim::TimingCorner::Typical)
        : board(ports.AttachBoard(0x378, model)) {
        rig.refresh.onRefresh = [this] {
            highestProgress = std::max(highestProgress, p().form.ProgressBar1.value);
        };
        p().Form_Load();
        EXPECT_NE(sim::InsertDevice(board, part, 1, nullptr, corner), nullptr) << part;
        p().form.Device.SetListIndex(DeviceListIndex(p(), part));
        EXPECT_EQ(p().selection.DeviceName.find(part) != std::string::npos, true) << part;
    }
    Programmer& p() { return rig.p(); }
    std::vector<std::uint8_t>& Chip() { return board.chip()->Memory(); }
    // Random bytes in the whole chip.
    void FillRandom(unsigned seed = 7) {
        std::mt19937 gen(seed);
        for (auto& b : Chip()) b = static_cast<std::uint8_t>(gen());
        board.RefreshChip();
    }
    void Poke(std::size_t address, std::uint8_t v) {
        Chip().at(address) = v;
        board.RefreshChip();
    }
    // The 16-bit sum of the chip's first `count` bytes, as the log shows it.
    std::string ChipSumText(std::size_t count) {
        unsigned sum = 0;
        for (std::size_t a = 0; a < count; ++a) sum += Chip()[a % Chip().size()];
        char text[8];
        std::snprintf(text, sizeof text, "%04X", sum & 0xFFFF);
        return text;
    }
    bool Logged(const std::string& line) {
        const auto lines = rig.LogMessages();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The log lines from `first` on, for exact sequences.
    std::vector<std::string> LogFrom(std::size_t first) {
        auto lines = rig.LogMessages();
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())), lines.end()};
    }

    sim::SimulatedPorts ports;
    sim::Board& board;
    sim::SimClock clock{ports.Time()};  // sleeps and busy waits pass in simulated time
    Rig rig{&ports, &clock};
    double highestProgress = 0;
};

}  // namespace moltrix::testing
