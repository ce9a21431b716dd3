// The Linux parallel-port device (/dev/parportN). Its ioctls read and write the
// port's three registers as they are, like direct port I/O; the port is claimed
// once and held until the backend goes.
//
// The kernel's claim (PPCLAIM) does not fail while another device has the
// port: it waits until that one lets go. So the port is claimed only after
// two checks that answer at once: the lock every copy of this program takes
// on the node (flock), and the kernel's record of the device that has the
// port now (devices/active: "lp", "ppdevN" or "none").
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/ports/port_backend.h"

#if defined(__linux__)
#include <linux/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#endif

namespace moltrix::platform::ports {
namespace fs = std::filesystem;

#if defined(__linux__)
namespace {

class PpdevPort : public PortBackend {
public:
    PpdevPort(KernelCalls& kernel, int fd) : kernel_(kernel), fd_(fd) {}
    ~PpdevPort() override {
        kernel_.Ioctl(fd_, PPRELEASE, nullptr);
        kernel_.Unlock(fd_);
        kernel_.Close(fd_);
    }
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    void Write(PortRegister reg, std::uint8_t value) override {
        unsigned char v = value;
        if (reg == kData) kernel_.Ioctl(fd_, PPWDATA, &v);
        if (reg == kControl) kernel_.Ioctl(fd_, PPWCONTROL, &v);
    }
    std::uint8_t Read(PortRegister reg) override {
        unsigned char v = 0xFF;
        const unsigned long request = reg == kData ? PPRDATA : reg == kStatus ? PPRSTATUS : PPRCONTROL;
        if (kernel_.Ioctl(fd_, request, &v) != 0) return 0xFF;
        return v;
    }

private:
    KernelCalls& kernel_;
    int fd_;
};

std::string CannotOpen(KernelCalls& kernel, const fs::path& node, int err) {
    std::string problem = node.string() + " cannot be opened (" + std::strerror(err) + ")";
    if (err == EACCES || err == EPERM) {
        std::string group = kernel.Examine(node).group;
        if (group.empty() || group == "root") group = "lp";
        problem += " - give your user access with \"sudo adduser $USER " + group + "\" and log in again";
    } else if (err == ENOENT || err == ENXIO || err == ENODEV) {
        problem += " - load the driver with \"sudo modprobe ppdev\"";
    }
    return problem;
}

}  // namespace

OpenedPort OpenPpdev(KernelCalls& kernel, const fs::path& node, const fs::path& procRoot) {
    const int fd = kernel.Open(node);
    if (fd < 0) return {nullptr, CannotOpen(kernel, node, -fd)};

    if (const int err = kernel.LockNoWait(fd); err != 0) {
        std::string holder;
        if (err == EWOULDBLOCK) {
            if (const auto id = kernel.Identity(fd)) holder = LockHolder(kernel, *id);
        }
        kernel.Close(fd);
        if (err == EWOULDBLOCK) return {nullptr, node.string() + " is held by " + LockHolderText(holder)};
        return {nullptr, node.string() + " cannot be locked (" + std::strerror(err) + ")"};
    }
    const std::string active = ActiveDevice(kernel, procRoot, node.filename().string());
    if (!active.empty()) {
        kernel.Unlock(fd);
        kernel.Close(fd);
        return {nullptr, node.string() + " is held by " + ActiveDeviceText(active)};
    }
    if (const int err = kernel.Ioctl(fd, PPCLAIM, nullptr); err != 0) {
        kernel.Unlock(fd);
        kernel.Close(fd);
        return {nullptr, node.string() + " cannot be claimed (" + std::strerror(err) + ")"};
    }
    int forward = 0;  // the PC drives the data lines
    kernel.Ioctl(fd, PPDATADIR, &forward);
    return {std::make_unique<PpdevPort>(kernel, fd), {}};
}
#else
OpenedPort OpenPpdev(KernelCalls&, const fs::path& node, const fs::path&) {
    return {nullptr, node.string() + ": ppdev is Linux only"};
}
#endif

OpenedPort OpenPpdev(const fs::path& node) { return OpenPpdev(RealKernel(), node); }

}  // namespace moltrix::platform::ports
