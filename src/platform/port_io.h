#pragma once
#include <cstdint>

namespace moltrix::platform {

// The one seam to the parallel ports: byte writes and reads by I/O address
// (base = data, base+1 = status, base+2 = control). A write reaches the port
// at once and in program order; a read returns what the lines show now.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
    virtual std::uint8_t PortIn(std::uint16_t port) = 0;
};

}  // namespace moltrix::platform
