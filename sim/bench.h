#pragma once
// The bench mode of the front ends: the program runs on simulated boards and
// chips instead of the PC's parallel ports. The window's bench waits for real
// in its sleeps, as a board would; the command line's moves only the
// simulated time, so scripted bench runs are fast.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim {

class Bench {
public:
    explicit Bench(bool realSleep) : clock_(ports_.Time(), realSleep) {}
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    platform::PortIo& Port() { return ports_; }
    platform::Clock& Clock() { return clock_; }
    SimTime& Time() { return ports_.Time(); }
    // One line for each of the bench's parallel ports: its address and what
    // hangs on it.
    std::vector<std::string> PortLines();
    // Writes back the chips' image files, so a chip keeps its contents between runs.
    std::string Save();
    // The bench's own folder for the board set-up file, inside the user's
    // configuration folder and named after its boards ("bench/6-378"), so a
    // bench never stands in for the real board, nor one bench for another.
    std::filesystem::path BoardIniDir(const std::filesystem::path& configDir) const;

private:
    friend std::unique_ptr<Bench> OpenBench(const std::string&, bool, std::string&);
    std::string name_;  // its boards, e.g. "6-378" or "4-3BC_6-378"
    SimulatedPorts ports_;
    SimClock clock_;
};

// Builds the bench the set-up text describes (e.g. "6@378:27C256=chip.bin").
// Returns nothing and an error text when the text is not understood.
std::unique_ptr<Bench> OpenBench(const std::string& setupText, bool realSleep, std::string& error);

}  // namespace moltrix::sim
