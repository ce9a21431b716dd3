#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"

#include <cstdio>

namespace moltrix::platform::ports {

PortRouter::PortRouter(Opener open) : open_(std::move(open)) {}

PortBackend* PortRouter::Open(std::size_t index) {
    if (!backends_[index]) {
        OpenedPort opened = open_ ? open_(kBases[index]) : OpenedPort{};
        backends_[index] = std::move(opened.backend);
        if (!backends_[index]) {
            backends_[index] = std::make_unique<NoPort>();
            problems_[index] = opened.problem;
        }
    }
    return backends_[index].get();
}

PortBackend* PortRouter::BackendFor(std::uint16_t port, PortRegister& reg) {
    for (std::size_t i = 0; i < kBases.size(); ++i) {
        if (port < kBases[i] || port > kBases[i] + kControl) continue;
        reg = static_cast<PortRegister>(port - kBases[i]);
        return Open(i);
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

std::string PortRouter::Described(std::size_t index) const {
    if (problems_[index].empty()) return {};
    char name[8];
    std::snprintf(name, sizeof name, "%X", kBases[index]);
    return "Port " + std::string(name) + ": " + problems_[index];
}

std::string PortRouter::AccessProblem(std::uint16_t base) {
    for (std::size_t i = 0; i < kBases.size(); ++i) {
        if (kBases[i] != base) continue;
        Open(i);
        return Described(i);
    }
    return {};
}

std::vector<std::string> PortRouter::ProblemsSoFar() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < kBases.size(); ++i)
        if (!problems_[i].empty()) out.push_back(Described(i));
    return out;
}

OpenedPort OpenHardwareBackend(std::uint16_t base) {
    const auto kernel = FindKernelPort(base);
    // The kernel drives this port; going around its driver would fight it.
    if (kernel && kernel->nodeExists) return OpenPpdev(kernel->node);
    OpenedPort direct = OpenDirectIo(base);
    if (direct.backend) return direct;
    if (!kernel) return {};  // as far as the kernel knows, the PC has no port here
    direct.problem = "the kernel has " + kernel->name + " here but no " + kernel->node.string() +
                     " (the ppdev driver is not loaded), and direct port access was refused (" + direct.problem +
                     ") - load the driver with \"sudo modprobe ppdev\" and give your user access with "
                     "\"sudo adduser $USER lp\"";
    return direct;
}

std::unique_ptr<PortRouter> OpenHardwarePorts() { return std::make_unique<PortRouter>(&OpenHardwareBackend); }

}  // namespace moltrix::platform::ports
