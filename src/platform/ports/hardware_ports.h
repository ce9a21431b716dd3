#pragma once
// The real parallel ports at 378h, 278h and 3BCh, for main() to hand to the core.
#include <memory>

#include "platform/port_io.h"

namespace moltrix::platform::ports {

class PortRouter;

// For each of the three standard ports, on first use, the first backend that
// works: the kernel's ppdev device (/dev/parportN whose base address matches),
// else, only where no ppdev device exists for that port, direct x86 port I/O
// (root only), else none (writes go nowhere, reads FFh). Logs nothing; the
// router tells why a port the PC has could not be used.
std::unique_ptr<PortRouter> OpenHardwarePorts();

}  // namespace moltrix::platform::ports
