#include "bench.h"

#include <cstdio>

#include "sim/bench_setup.h"

namespace moltrix::app {

std::unique_ptr<Bench> OpenBench(const std::string& setupText, std::string& error) {
    const sim::BenchSetup setup = sim::ParseBenchSetup(setupText);
    if (!setup.ok()) {
        error = setup.error;
        return nullptr;
    }
    auto bench = std::make_unique<Bench>();
    for (const sim::BoardSetup& board : setup.boards) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%d-%X", bench->name_.empty() ? "" : "_", board.model, board.port);
        bench->name_ += name;
    }
    error = sim::ApplyBenchSetup(setup, bench->ports_);
    if (!error.empty()) return nullptr;
    return bench;
}

std::string Bench::Save() { return sim::SaveImages(ports_); }

std::filesystem::path Bench::BoardIniDir(const std::filesystem::path& configDir) const {
    return configDir / "bench" / name_;
}

}  // namespace moltrix::app
