#pragma once
// The bench mode: the program runs on simulated boards and chips instead of
// the PC's parallel ports. Sleeps wait for real, as they would on a board, and
// move the simulated time with them.
#include <filesystem>
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
    // The bench's own folder for the board set-up file, inside the user's
    // configuration folder and named after its boards ("bench/6-378"), so a
    // bench never stands in for the real board, nor one bench for another.
    std::filesystem::path BoardIniDir(const std::filesystem::path& configDir) const;

private:
    friend std::unique_ptr<Bench> OpenBench(const std::string&, std::string&);
    std::string name_;  // its boards, e.g. "6-378" or "4-3BC_6-378"
    sim::SimulatedPorts ports_;
    sim::SimClock clock_{ports_.Time(), /*real_sleep=*/true};
};

// Builds the bench the set-up text describes (e.g. "6@378:27C256=chip.bin").
// Returns nothing and an error text when the text is not understood.
std::unique_ptr<Bench> OpenBench(const std::string& setupText, std::string& error);

}  // namespace moltrix::app
