#pragma once
#include <cstdint>
#include <string>

namespace moltrix::platform {

// The one seam to the parallel ports: byte writes and reads by I/O address
// (base = data, base+1 = status, base+2 = control). A write reaches the port
// at once and in program order; a read returns what the lines show now.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
    virtual std::uint8_t PortIn(std::uint16_t port) = 0;
    // Why the port at `base` cannot be used although the PC has it (no
    // permission, held by another driver, ...), naming the device, the reason
    // and the fix; empty when it can be used or the PC has no such port.
    // Opens the port if it was not used yet.
    virtual std::string AccessProblem(std::uint16_t base) {
        (void)base;
        return {};
    }
};

}  // namespace moltrix::platform
