// Direct x86 port I/O: the process asks the kernel for the three port
// addresses (ioperm, which needs root or CAP_SYS_RAWIO) and then uses the
// in/out instructions itself. Used only for a port the kernel has no ppdev
// device for.
#include "platform/ports/port_backend.h"

#include <cerrno>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__linux__) && __has_include(<sys/io.h>)
#define MOLTRIX_DIRECT_IO 1
#include <sys/io.h>
#endif

namespace moltrix::platform::ports {

#if defined(MOLTRIX_DIRECT_IO)
namespace {

class DirectIoPort : public PortBackend {
public:
    explicit DirectIoPort(std::uint16_t base) : base_(base) {}
    ~DirectIoPort() override { ::ioperm(base_, 3, 0); }
    DirectIoPort(const DirectIoPort&) = delete;
    DirectIoPort& operator=(const DirectIoPort&) = delete;

    void Write(PortRegister reg, std::uint8_t value) override {
        ::outb(value, static_cast<unsigned short>(base_ + reg));
    }
    std::uint8_t Read(PortRegister reg) override { return ::inb(static_cast<unsigned short>(base_ + reg)); }

private:
    std::uint16_t base_;
};

}  // namespace

OpenedPort OpenDirectIo(std::uint16_t base) {
    if (::ioperm(base, 3, 1) != 0) return {nullptr, std::strerror(errno)};
    return {std::make_unique<DirectIoPort>(base), {}};
}
#else
OpenedPort OpenDirectIo(std::uint16_t) { return {nullptr, "not available on this system"}; }
#endif

}  // namespace moltrix::platform::ports
