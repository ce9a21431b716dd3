#pragma once
// The PC's real parallel ports, for main() to hand to the core.
#include <filesystem>
#include <memory>

#include "platform/port_io.h"
#include "platform/ports/kernel_calls.h"

namespace moltrix::platform::ports {

class PortRouter;

// Every port the PC has: the three legacy addresses (378h, 278h, 3BCh), the
// ports the kernel lists in <procRoot> (PCI and PCIe cards at any address) and
// any address the core asks about. For each, on first use, the first backend
// that works: the kernel's ppdev device (<devRoot>/parportN whose base address
// matches), else, only where no ppdev device exists for that port, direct x86
// port I/O (root only), else none (writes go nowhere, reads FFh). Never waits
// for a port another program or driver holds. Logs nothing; the router tells
// why a port the PC has could not be used.
std::unique_ptr<PortRouter> OpenHardwarePorts(KernelCalls& kernel = RealKernel(),
                                              const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                              const std::filesystem::path& devRoot = "/dev");

}  // namespace moltrix::platform::ports
