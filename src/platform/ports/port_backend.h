#pragma once
// The pieces behind OpenHardwarePorts: one backend per parallel port, and a
// router that hands each I/O address to the backend of its port.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/port_io.h"

namespace moltrix::platform::ports {

// Offsets from a port's base address.
enum PortRegister { kData = 0, kStatus = 1, kControl = 2 };

// One parallel port.
class PortBackend {
public:
    virtual ~PortBackend() = default;
    virtual void Write(PortRegister reg, std::uint8_t value) = 0;
    virtual std::uint8_t Read(PortRegister reg) = 0;
};

// No port: writes go nowhere, reads show floating lines.
class NoPort : public PortBackend {
public:
    void Write(PortRegister, std::uint8_t) override {}
    std::uint8_t Read(PortRegister) override { return 0xFF; }
};

// A backend, or why there is none: `problem` says what stands in the way of a
// port the PC has (without the port's name); empty when the port works or
// simply is not there.
struct OpenedPort {
    std::unique_ptr<PortBackend> backend;
    std::string problem;
};

// The kernel's parallel port whose base-addr (first number of
// <procRoot>/parportN/base-addr, decimal) is `base`, and its ppdev device
// <devRoot>/parportN, which is missing while the ppdev driver is not loaded.
struct KernelPort {
    std::string name;
    std::filesystem::path node;
    bool nodeExists = false;
};
std::optional<KernelPort> FindKernelPort(std::uint16_t base,
                                         const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                         const std::filesystem::path& devRoot = "/dev");

// Opens and claims a ppdev device, kept until the backend goes; says why not
// when it cannot be opened (permissions) or claimed (busy), or on a system
// without ppdev.
OpenedPort OpenPpdev(const std::filesystem::path& node);

// Direct port I/O (ioperm, inb/outb) on x86 for a process allowed to use it;
// otherwise the system's reason.
OpenedPort OpenDirectIo(std::uint16_t base);

// The hardware choice for one port: ppdev when the kernel has a device for it
// (and never around it), else direct I/O.
OpenedPort OpenHardwareBackend(std::uint16_t base);

// Routes 378h-37Ah, 278h-27Ah and 3BCh-3BEh to a backend per port, opened on
// the port's first use with `open` (NoPort when that gives nothing) and kept,
// with the reason when it gave nothing. Any other address is no port.
class PortRouter : public PortIo {
public:
    using Opener = std::function<OpenedPort(std::uint16_t base)>;
    static constexpr std::array<std::uint16_t, 3> kBases{0x378, 0x278, 0x3BC};

    explicit PortRouter(Opener open);
    void PortOut(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t PortIn(std::uint16_t port) override;
    // "Port 378: " and what stands in the way; empty when nothing does.
    std::string AccessProblem(std::uint16_t base) override;
    // The problems of the ports opened so far, in the order of the ports above.
    std::vector<std::string> ProblemsSoFar() const;

private:
    PortBackend* BackendFor(std::uint16_t port, PortRegister& reg);
    PortBackend* Open(std::size_t index);
    std::string Described(std::size_t index) const;
    Opener open_;
    std::array<std::unique_ptr<PortBackend>, 3> backends_;
    std::array<std::string, 3> problems_;
    NoPort none_;
};

}  // namespace moltrix::platform::ports
