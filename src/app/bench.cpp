#include "bench.h"

#include "sim/bench_setup.h"

namespace moltrix::app {

std::unique_ptr<Bench> OpenBench(const std::string& setupText, std::string& error) {
    const sim::BenchSetup setup = sim::ParseBenchSetup(setupText);
    if (!setup.ok()) {
        error = setup.error;
        return nullptr;
    }
    auto bench = std::make_unique<Bench>();
    error = sim::ApplyBenchSetup(setup, bench->ports_);
    if (!error.empty()) return nullptr;
    return bench;
}

std::string Bench::Save() { return sim::SaveImages(ports_); }

}  // namespace moltrix::app
