#include "ports_command.h"

#include <cstdio>

#include "exit_status.h"
#include "platform/ports/port_inventory.h"
#include "sim/bench.h"

namespace moltrix::cli {

int ListPorts(sim::Bench* bench) {
    if (bench) {
        for (const std::string& line : bench->PortLines()) std::printf("%s\n", line.c_str());
        return kSuccess;
    }
    const platform::ports::PortInventory inventory = platform::ports::DescribeParallelPorts(platform::ports::RealKernel());
    for (const std::string& line : inventory.lines) std::printf("%s\n", line.c_str());
    return inventory.anyPort ? kSuccess : kNoBoard;
}

}  // namespace moltrix::cli
