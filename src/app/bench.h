#pragma once
// The bench mode: the program runs on simulated boards and chips instead of
// the PC's parallel ports. Sleeps wait for real, as they would on a board, and
// move the simulated time with them.
#include <memory>
#include <string>

#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

namespace moltrix::app {

class Bench {
public:
    Bench() = default;
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    platform::PortIo& Port() { return ports_; }
    platform::Clock& Clock() { return clock_; }
    // Writes back the chips' image files, so a chip keeps its contents between runs.
    std::string Save();

private:
    friend std::unique_ptr<Bench> OpenBench(const std::string&, std::string&);
    sim::SimulatedPorts ports_;
    sim::SimClock clock_{ports_.Time(), /*real_sleep=*/true};
};

// Builds the bench the set-up text describes (e.g. "6@378:27C256=chip.bin").
// Returns nothing and an error text when the text is not understood.
std::unique_ptr<Bench> OpenBench(const std::string& setupText, std::string& error);

}  // namespace moltrix::app
