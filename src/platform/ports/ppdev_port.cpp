// The Linux parallel-port device (/dev/parportN). Its ioctls read and write the
// port's three registers as they are, like direct port I/O; the port is claimed
// once and held while the program runs.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/ports/port_backend.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace moltrix::platform::ports {
namespace fs = std::filesystem;

std::optional<KernelPort> FindKernelPort(std::uint16_t base, const fs::path& procRoot, const fs::path& devRoot) {
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("parport", 0) != 0) continue;
        std::ifstream in(it->path() / "base-addr");
        long address = -1;
        if (!(in >> address) || address != base) continue;
        KernelPort port{name, devRoot / name, false};
        std::error_code exists;
        port.nodeExists = fs::exists(port.node, exists);
        return port;
    }
    return std::nullopt;
}

#if defined(__linux__)
namespace {

class PpdevPort : public PortBackend {
public:
    explicit PpdevPort(int fd) : fd_(fd) {}
    ~PpdevPort() override {
        ::ioctl(fd_, PPRELEASE);
        ::close(fd_);
    }
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    void Write(PortRegister reg, std::uint8_t value) override {
        unsigned char v = value;
        if (reg == kData) ::ioctl(fd_, PPWDATA, &v);
        if (reg == kControl) ::ioctl(fd_, PPWCONTROL, &v);
    }
    std::uint8_t Read(PortRegister reg) override {
        unsigned char v = 0xFF;
        const unsigned long request = reg == kData ? PPRDATA : reg == kStatus ? PPRSTATUS : PPRCONTROL;
        if (::ioctl(fd_, request, &v) != 0) return 0xFF;
        return v;
    }

private:
    int fd_;
};

}  // namespace

OpenedPort OpenPpdev(const fs::path& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        std::string problem = node.string() + " cannot be opened (" + std::strerror(err) + ")";
        if (err == EACCES || err == EPERM)
            problem += " - give your user access with \"sudo adduser $USER lp\" and log in again";
        else if (err == ENOENT || err == ENXIO || err == ENODEV)
            problem += " - load the driver with \"sudo modprobe ppdev\"";
        return {nullptr, problem};
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EBUSY)
            return {nullptr, node.string() + " is held by another driver or program (" + std::strerror(err) +
                                 ") - close the program that uses the port, or unload the printer driver with "
                                 "\"sudo rmmod lp\""};
        return {nullptr, node.string() + " cannot be claimed (" + std::strerror(err) + ")"};
    }
    int forward = 0;  // the PC drives the data lines
    ::ioctl(fd, PPDATADIR, &forward);
    return {std::make_unique<PpdevPort>(fd), {}};
}
#else
OpenedPort OpenPpdev(const fs::path& node) { return {nullptr, node.string() + ": ppdev is Linux only"}; }
#endif

}  // namespace moltrix::platform::ports
