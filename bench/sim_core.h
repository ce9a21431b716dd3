#pragma once
// The core on one simulated model-6 board with a part in its socket, selected
// as an operator would: the probe runs first, with the socket empty.
#include "bench_services.h"
#include "devices/device_lookup.h"
#include "shell/programmer.h"
#include "sim/bench_setup.h"
#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

namespace moltrix::bench {

struct SimCore {
    SimCore(int model, const char* part, sim::TimingCorner corner = sim::TimingCorner::Typical)
        : board(ports.AttachBoard(0x378, model)) {
        core.Form_Load();
        sim::InsertDevice(board, part, 1, nullptr, corner);
        core.form.Device.SetListIndex(devices::LookUpDevice(part).row);
    }
    sim::SimulatedPorts ports;
    sim::Board& board;
    sim::SimClock clock{ports.Time()};
    Quiet quiet;
    ScratchDir scratch;
    platform::Services svc{ports, clock, quiet, quiet, quiet, quiet, quiet, quiet, scratch.Paths()};
    Programmer core{svc};
};

}  // namespace moltrix::bench
