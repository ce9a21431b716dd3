#pragma once
// A description of this PC's parallel ports, for the operator: which ports the
// kernel has, whether this user may use them, who holds them, and what to do.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ports/kernel_calls.h"

namespace moltrix::platform::ports {

struct PortInventory {
    std::vector<std::string> lines;
    bool anyPort = false;  // the kernel lists at least one parallel port
};

// Each port the kernel lists (<procRoot>/parportN): its base and extra base,
// its modes, its device <devRoot>/parportN and whether this user may open it
// (and how to get there), who holds it; the legacy addresses the kernel does
// not list; USB printer adapters (<devRoot>/usb/lp*), which cannot drive the
// board. Only looks: opens, locks and claims nothing.
PortInventory DescribeParallelPorts(KernelCalls& kernel,
                                    const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                    const std::filesystem::path& devRoot = "/dev");

}  // namespace moltrix::platform::ports
