#pragma once
// The pieces behind OpenHardwarePorts: one backend per parallel port, and a
// router that hands each I/O address to the backend of its port.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

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

// The ppdev device whose base-addr (first number of
// <procRoot>/parportN/base-addr, decimal) is `base`, when <devRoot>/parportN exists.
std::optional<std::filesystem::path> FindPpdevNode(std::uint16_t base,
                                                   const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                                   const std::filesystem::path& devRoot = "/dev");

// Opens and claims a ppdev device, kept until the backend goes; nullptr when
// it cannot be opened or claimed (permissions, busy, not Linux).
std::unique_ptr<PortBackend> OpenPpdev(const std::filesystem::path& node);

// Direct port I/O (ioperm, inb/outb) on x86 for a process allowed to use it;
// nullptr elsewhere.
std::unique_ptr<PortBackend> OpenDirectIo(std::uint16_t base);

// The hardware choice for one port: ppdev when the kernel has a device for it
// (and never around it), else direct I/O; nullptr when neither works.
std::unique_ptr<PortBackend> OpenHardwareBackend(std::uint16_t base);

// Routes 378h-37Ah, 278h-27Ah and 3BCh-3BEh to a backend per port, opened on
// the port's first use with `open` (NoPort when that gives nothing) and kept.
// Any other address is no port.
class PortRouter : public PortIo {
public:
    using Opener = std::function<std::unique_ptr<PortBackend>(std::uint16_t base)>;
    static constexpr std::array<std::uint16_t, 3> kBases{0x378, 0x278, 0x3BC};

    explicit PortRouter(Opener open);
    void PortOut(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t PortIn(std::uint16_t port) override;

private:
    PortBackend* BackendFor(std::uint16_t port, PortRegister& reg);
    Opener open_;
    std::array<std::unique_ptr<PortBackend>, 3> backends_;
    NoPort none_;
};

}  // namespace moltrix::platform::ports
