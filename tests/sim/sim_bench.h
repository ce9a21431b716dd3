#pragma once
// One simulated port with one board and a chip of a catalogue part, for the
// chip tests, plus the board driver that talks to it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "board_driver.h"
#include "sim/bench_setup.h"
#include "sim/jedec_flash.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim::testing {

struct SimBench {
    SimBench(int model, std::string_view part, std::uint64_t seed = 1, TimingCorner corner = TimingCorner::Typical)
        : board(ports.AttachBoard(0x378, model)), drv(ports, 0x378, model) {
        EXPECT_NE(InsertDevice(board, part, seed, nullptr, corner), nullptr) << part;
    }
    // The chip as of now (finished cycles applied).
    template <class T>
    T& As() {
        return *static_cast<T*>(board.chip());
    }
    void Sleep(Nanos ns) { ports.Time().Advance(ns); }

    SimulatedPorts ports;
    Board& board;
    BoardDriver drv;
    struct ChipNow {
        Board& board;
        Chip* operator->() const { return board.chip(); }
    };
    ChipNow chip{board};
};

// The three JEDEC command cycles (AAh to 5555h, 55h to 2AAAh, `command` to
// 5555h), each one bus write `write(address, data)`.
template <class WriteFn>
void JedecCommand(WriteFn&& write, std::uint8_t command) {
    write(kUnlockAddr1, std::uint8_t{0xAA});
    write(kUnlockAddr2, std::uint8_t{0x55});
    write(kUnlockAddr1, command);
}

// A path in the temporary directory, in a directory of its own for this run
// and test.
inline std::filesystem::path TempFile(const std::string& name) {
    const auto* unit = ::testing::UnitTest::GetInstance();
    const auto dir = std::filesystem::temp_directory_path() /
                     ("moltrix_sim_" + std::to_string(unit->random_seed()) + "_" + unit->current_test_info()->name());
    std::filesystem::create_directories(dir);
    return dir / name;
}

}  // namespace moltrix::sim::testing
