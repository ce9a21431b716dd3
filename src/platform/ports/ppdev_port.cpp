// The Linux parallel-port device (/dev/parportN). Its ioctls read and write the
// port's three registers as they are, like direct port I/O; the port is claimed
// once and held while the program runs.
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

std::optional<fs::path> FindPpdevNode(std::uint16_t base, const fs::path& procRoot, const fs::path& devRoot) {
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("parport", 0) != 0) continue;
        std::ifstream in(it->path() / "base-addr");
        long address = -1;
        if (!(in >> address) || address != base) continue;
        const fs::path node = devRoot / name;
        if (fs::exists(node, ec)) return node;
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

std::unique_ptr<PortBackend> OpenPpdev(const fs::path& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::ioctl(fd, PPCLAIM) != 0) {
        ::close(fd);
        return nullptr;
    }
    int forward = 0;  // the PC drives the data lines
    ::ioctl(fd, PPDATADIR, &forward);
    return std::make_unique<PpdevPort>(fd);
}
#else
std::unique_ptr<PortBackend> OpenPpdev(const fs::path&) { return nullptr; }
#endif

}  // namespace moltrix::platform::ports
