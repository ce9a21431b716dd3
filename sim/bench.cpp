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

std::string Bench::Save() { return SaveImages(ports_); }

std::filesystem::path Bench::BoardIniDir(const std::filesystem::path& configDir) const {
    return configDir / "bench" / name_;
}

}  // namespace moltrix::sim
