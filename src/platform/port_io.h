#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace moltrix::platform {

// A parallel port the system knows of: its base (data) address and, where
// the system offers one, its device ("/dev/parport1"; empty otherwise).
struct PortInfo {
    std::uint16_t base = 0;
    std::string device;
};

// The one seam to the parallel ports: byte writes and reads by I/O address
// (base = data, base+1 = status, base+2 = control). A write reaches the port
// at once and in program order; a read returns what the lines show now.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
    virtual std::uint8_t PortIn(std::uint16_t port) = 0;
    // Why the port at `base` cannot be used although the PC has it (no
    // permission, held by another driver or program, ...), naming the device,
    // the reason and the fix; empty when it can be used or the PC has no such
    // port. Opens (claims) the port if it is not open yet; never waits for a
    // port another program holds.
    virtual std::string AccessProblem(std::uint16_t base) {
        (void)base;
        return {};
    }
    // Lets go of the port at `base`, so that other programs and drivers may
    // use it; its next use opens it again.
    virtual void Release(std::uint16_t base) { (void)base; }
    // The parallel ports the system lists (on Linux those of
    // /proc/sys/dev/parport, on the bench its ports), in the system's order.
    // The three legacy addresses may or may not be among them.
    virtual std::vector<PortInfo> PortsOfThisPc() { return {}; }
};

}  // namespace moltrix::platform
