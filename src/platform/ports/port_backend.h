#pragma once
// The pieces behind OpenHardwarePorts: one backend per parallel port, and a
// router that hands each I/O address to the backend of its port.
#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/port_io.h"
#include "platform/ports/kernel_ports.h"

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

// Opens a ppdev device and claims its port, kept until the backend goes
// (then released, unlocked and closed). Never waits for a port another holds:
// first it takes the lock every copy of this program takes on the node, then
// asks the kernel whether a driver or another program has the port
// (<procRoot>/parportN/devices/active), and only then claims it. Says why not
// when the node cannot be opened (permissions, no driver), is held, or cannot
// be claimed.
OpenedPort OpenPpdev(KernelCalls& kernel, const std::filesystem::path& node,
                     const std::filesystem::path& procRoot = "/proc/sys/dev/parport");
OpenedPort OpenPpdev(const std::filesystem::path& node);

// Direct port I/O (in/out instructions) on x86 for a process allowed to use
// it: ioperm for a port within the first 400h addresses, iopl(3) above; the
// privilege is given back when the port's backend goes (iopl when the last
// port that needed it goes). Otherwise the system's reason.
OpenedPort OpenDirectIo(KernelCalls& kernel, std::uint16_t base);

// The hardware choice for one port: ppdev when the kernel has a device for it
// (and never around it), else direct I/O.
OpenedPort OpenHardwareBackend(KernelCalls& kernel, std::uint16_t base,
                               const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                               const std::filesystem::path& devRoot = "/dev");

// Routes each I/O address within [base, base+2] of a known port to that
// port's backend, opened on the port's first use with `open` (NoPort when that
// gives nothing) and kept, with the reason when it gave nothing. The known
// ports are the three legacy ones, those `list` gives (the system's ports) and
// any named through AccessProblem. Any other address is no port: writes go
// nowhere, reads give FFh.
class PortRouter : public PortIo {
public:
    using Opener = std::function<OpenedPort(std::uint16_t base)>;
    using Lister = std::function<std::vector<PortInfo>()>;
    static constexpr std::array<std::uint16_t, 3> kLegacyBases{0x378, 0x278, 0x3BC};

    explicit PortRouter(Opener open, Lister list = {});
    void PortOut(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t PortIn(std::uint16_t port) override;
    // "Port D010: " and what stands in the way; empty when nothing does.
    std::string AccessProblem(std::uint16_t base) override;
    // Closes the port's backend and forgets its problem; its next use opens it again.
    void Release(std::uint16_t base) override;
    // What `list` gives, now.
    std::vector<PortInfo> PortsOfThisPc() override;
    // Every problem met so far, once each, in the order met; a port released
    // since keeps its line here, so start-up can still tell what the probe met.
    std::vector<std::string> ProblemsSoFar() const;

private:
    struct Port {
        std::uint16_t base = 0;
        std::unique_ptr<PortBackend> backend;
        std::string problem;
    };
    Port* Known(std::uint16_t base);
    Port* Know(std::uint16_t base);
    PortBackend* Open(Port& port);
    PortBackend* BackendFor(std::uint16_t address, PortRegister& reg);
    static std::string Described(const Port& port);
    Opener open_;
    Lister list_;
    std::deque<Port> ports_;  // stays where it is while others are added
    std::vector<std::string> reported_;
    NoPort none_;
};

}  // namespace moltrix::platform::ports
