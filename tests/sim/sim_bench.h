#pragma once
// One simulated port with one board and a chip of a catalogue part, for the
// chip tests, plus the board driver that talks to it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "board_driver.h"
#include "sim/device_models.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim::testing {

struct SimBench {
    SimBench(int model, std::string_view part, std::uint64_t seed = 1)
        : board(ports.AttachBoard(0x378, model)), drv(ports, 0x378, model) {
        const DeviceModel* m = FindDeviceModel(part);
        EXPECT_NE(m, nullptr) << part;
        board.Insert(MakeChip(*m, seed), *FindSocketProfile(m->type));
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

}  // namespace moltrix::sim::testing
