#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"

#include <algorithm>
#include <cstdio>

namespace moltrix::platform::ports {

PortRouter::PortRouter(Opener open, Lister list) : open_(std::move(open)), list_(std::move(list)) {
    for (std::uint16_t base : kLegacyBases) Know(base);
    if (list_)
        for (const PortInfo& port : list_()) Know(port.base);
}

PortRouter::Port* PortRouter::Known(std::uint16_t base) {
    for (Port& port : ports_)
        if (port.base == base) return &port;
    return nullptr;
}

PortRouter::Port* PortRouter::Know(std::uint16_t base) {
    if (base == 0) return nullptr;  // 0 stands for no port
    if (Port* port = Known(base)) return port;
    ports_.push_back(Port{base, nullptr, {}});
    return &ports_.back();
}

PortBackend* PortRouter::Open(Port& port) {
    if (!port.backend) {
        OpenedPort opened = open_ ? open_(port.base) : OpenedPort{};
        port.backend = std::move(opened.backend);
        if (!port.backend) {
            port.backend = std::make_unique<NoPort>();
            port.problem = opened.problem;
            const std::string described = Described(port);
            if (!described.empty() && std::find(reported_.begin(), reported_.end(), described) == reported_.end())
                reported_.push_back(described);
        }
    }
    return port.backend.get();
}

PortBackend* PortRouter::BackendFor(std::uint16_t address, PortRegister& reg) {
    for (Port& port : ports_) {
        if (address < port.base || address > port.base + kControl) continue;
        reg = static_cast<PortRegister>(address - port.base);
        return Open(port);
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

std::string PortRouter::Described(const Port& port) {
    if (port.problem.empty()) return {};
    char name[8];
    std::snprintf(name, sizeof name, "%X", port.base);
    return "Port " + std::string(name) + ": " + port.problem;
}

std::string PortRouter::AccessProblem(std::uint16_t base) {
    Port* port = Know(base);
    if (!port) return {};
    Open(*port);
    return Described(*port);
}

void PortRouter::Release(std::uint16_t base) {
    if (Port* port = Known(base)) {
        port->backend.reset();
        port->problem.clear();
    }
}

std::vector<PortInfo> PortRouter::PortsOfThisPc() {
    if (!list_) return {};
    std::vector<PortInfo> ports = list_();
    for (const PortInfo& port : ports) Know(port.base);
    return ports;
}

std::vector<std::string> PortRouter::ProblemsSoFar() const { return reported_; }

OpenedPort OpenHardwareBackend(KernelCalls& kernel, std::uint16_t base, const std::filesystem::path& procRoot,
                               const std::filesystem::path& devRoot) {
    const auto port = FindKernelPort(kernel, base, procRoot, devRoot);
    // The kernel drives this port; going around its driver would fight it.
    if (port && port->nodeExists) return OpenPpdev(kernel, port->node, procRoot);
    OpenedPort direct = OpenDirectIo(kernel, base);
    if (direct.backend) return direct;
    if (!port) return {};  // as far as the kernel knows, the PC has no port here
    direct.problem = "the kernel has " + port->name + " here but no " + port->node.string() +
                     " (the ppdev driver is not loaded), and direct port access was refused (" + direct.problem +
                     ") - load the driver with \"sudo modprobe ppdev\" and give your user access with "
                     "\"sudo adduser $USER lp\"";
    return direct;
}

std::unique_ptr<PortRouter> OpenHardwarePorts(KernelCalls& kernel, const std::filesystem::path& procRoot,
                                              const std::filesystem::path& devRoot) {
    auto open = [&kernel, procRoot, devRoot](std::uint16_t base) {
        return OpenHardwareBackend(kernel, base, procRoot, devRoot);
    };
    auto list = [&kernel, procRoot, devRoot] {
        std::vector<PortInfo> ports;
        for (const KernelPort& port : ListKernelPorts(kernel, procRoot, devRoot))
            ports.push_back({port.base, port.nodeExists ? port.node.string() : std::string()});
        return ports;
    };
    return std::make_unique<PortRouter>(open, list);
}

}  // namespace moltrix::platform::ports
