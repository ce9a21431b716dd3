// Direct x86 port I/O: the process asks the kernel for the right to the port
// addresses and then uses the in/out instructions itself. ioperm grants single
// addresses, but only the first 400h of them; a port above (a PCI or PCIe card
// at D010h, FFF8h, ...) needs I/O privilege level 3 (iopl), which grants every
// address. Both need root or CAP_SYS_RAWIO. Used only for a port the kernel
// has no ppdev device for.
#include "platform/ports/port_backend.h"

#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__linux__) && __has_include(<sys/io.h>)
#define MOLTRIX_DIRECT_IO 1
#include <sys/io.h>
#endif

namespace moltrix::platform::ports {
namespace {

constexpr unsigned kLastIopermAddress = 0x3FF;
constexpr int kIoplAllPorts = 3;
constexpr int kIoplNone = 0;

bool NeedsIopl(std::uint16_t base) { return base + static_cast<unsigned>(kControl) > kLastIopermAddress; }

// The open ports that needed iopl: the privilege goes back when the last one
// goes. The level belongs to the process; the ports are used from one thread.
int ioplUsers = 0;

class DirectIoPort : public PortBackend {
public:
    DirectIoPort(KernelCalls& kernel, std::uint16_t base) : kernel_(kernel), base_(base) {}
    ~DirectIoPort() override {
        if (!NeedsIopl(base_))
            kernel_.Ioperm(base_, 3, false);
        else if (--ioplUsers == 0)
            kernel_.Iopl(kIoplNone);
    }
    DirectIoPort(const DirectIoPort&) = delete;
    DirectIoPort& operator=(const DirectIoPort&) = delete;

#if defined(MOLTRIX_DIRECT_IO)
    void Write(PortRegister reg, std::uint8_t value) override {
        ::outb(value, static_cast<unsigned short>(base_ + reg));
    }
    std::uint8_t Read(PortRegister reg) override { return ::inb(static_cast<unsigned short>(base_ + reg)); }
#else
    void Write(PortRegister, std::uint8_t) override {}
    std::uint8_t Read(PortRegister) override { return 0xFF; }
#endif

private:
    KernelCalls& kernel_;
    std::uint16_t base_;
};

}  // namespace

OpenedPort OpenDirectIo(KernelCalls& kernel, std::uint16_t base) {
    int err = 0;
    if (!NeedsIopl(base))
        err = kernel.Ioperm(base, 3, true);
    else if (ioplUsers == 0)
        err = kernel.Iopl(kIoplAllPorts);
    if (err != 0) return {nullptr, std::strerror(err)};
    if (NeedsIopl(base)) ++ioplUsers;
    return {std::make_unique<DirectIoPort>(kernel, base), {}};
}

}  // namespace moltrix::platform::ports
