#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"

namespace moltrix::platform::ports {

PortRouter::PortRouter(Opener open) : open_(std::move(open)) {}

PortBackend* PortRouter::BackendFor(std::uint16_t port, PortRegister& reg) {
    for (std::size_t i = 0; i < kBases.size(); ++i) {
        if (port < kBases[i] || port > kBases[i] + kControl) continue;
        reg = static_cast<PortRegister>(port - kBases[i]);
        if (!backends_[i]) {
            backends_[i] = open_ ? open_(kBases[i]) : nullptr;
            if (!backends_[i]) backends_[i] = std::make_unique<NoPort>();
        }
        return backends_[i].get();
    }
    reg = kData;
    return &none_;
}

void PortRouter::PortOut(std::uint16_t port, std::uint8_t value) {
    PortRegister reg;
    PortBackend* b = BackendFor(port, reg);
    if (reg != kStatus) b->Write(reg, value);  // the status register is read-only
}

std::uint8_t PortRouter::PortIn(std::uint16_t port) {
    PortRegister reg;
    PortBackend* b = BackendFor(port, reg);
    return b->Read(reg);
}

std::unique_ptr<PortBackend> OpenHardwareBackend(std::uint16_t base) {
    if (auto node = FindPpdevNode(base)) {
        // The kernel drives this port; going around it would fight its driver.
        return OpenPpdev(*node);
    }
    return OpenDirectIo(base);
}

std::unique_ptr<PortIo> OpenHardwarePorts() { return std::make_unique<PortRouter>(&OpenHardwareBackend); }

}  // namespace moltrix::platform::ports
