#include "sim/bench.h"

#include <cstdio>

#include "sim/bench_setup.h"

namespace moltrix::sim {

std::unique_ptr<Bench> OpenBench(const std::string& setupText, bool realSleep, std::string& error) {
    const BenchSetup setup = ParseBenchSetup(setupText);
    if (!setup.ok()) {
        error = setup.error;
        return nullptr;
    }
    auto bench = std::make_unique<Bench>(realSleep);
    for (const BoardSetup& board : setup.boards) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%d-%X", bench->name_.empty() ? "" : "_", board.model, board.port);
        bench->name_ += name;
    }
    error = ApplyBenchSetup(setup, bench->ports_);
    if (!error.empty()) return nullptr;
    return bench;
}

std::vector<std::string> Bench::PortLines() {
    std::vector<std::string> lines;
    for (const platform::PortInfo& port : ports_.PortsOfThisPc()) {
        char address[8];
        std::snprintf(address, sizeof address, "%X", port.base);
        std::string line = "bench port " + std::string(address) + "h: ";
        Board* board = ports_.BoardAt(port.base);
        if (!board) {
            line += "no board";
        } else {
            line += "MOLTRIX-" + std::to_string(board->Model()) + " board, ";
            line += board->chip() ? board->chip()->Name() + " in the socket" : "socket empty";
        }
        lines.push_back(line);
    }
    return lines;
}

std::string Bench::Save() { return SaveImages(ports_); }

std::filesystem::path Bench::BoardIniDir(const std::filesystem::path& configDir) const {
    return configDir / "bench" / name_;
}

}  // namespace moltrix::sim
