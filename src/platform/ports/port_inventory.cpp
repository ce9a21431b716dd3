#include "platform/ports/port_inventory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/ports/kernel_ports.h"
#include "platform/ports/port_backend.h"

namespace moltrix::platform::ports {
namespace fs = std::filesystem;
namespace {

std::string Hex(std::uint16_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "%Xh", address);
    return text;
}

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

std::string NodeLine(const KernelPort& port, const NodeFacts& node) {
    const std::string name = "  " + port.node.string() + ": ";
    if (node.error == 0) return name + "this user may open it";
    if (node.error == ENOENT)
        return name + "missing (the ppdev driver is not loaded) - load it with \"sudo modprobe ppdev\"";
    if (node.error == EACCES || node.error == EPERM) {
        const std::string group = node.group.empty() || node.group == "root" ? "lp" : node.group;
        return name + "this user may not open it (" + std::strerror(node.error) + "; the node's group is " +
               (node.group.empty() ? "unknown" : node.group) + ") - give your user access with \"sudo adduser $USER " +
               group + "\" and log in again";
    }
    return name + "cannot be opened (" + std::strerror(node.error) + ")";
}

void DescribePort(KernelCalls& kernel, const fs::path& procRoot, const KernelPort& port,
                  std::vector<std::string>& lines) {
    std::string heading = port.name + ": base " + Hex(port.base);
    if (port.extraBase) heading += ", extra base " + Hex(port.extraBase);
    const std::string modes = FirstLine(kernel.ReadText(procRoot / port.name / "modes").value_or(""));
    if (!modes.empty()) heading += ", modes " + modes;
    lines.push_back(heading);

    const NodeFacts node = kernel.Examine(port.node);
    lines.push_back(NodeLine(port, node));

    // As the ppdev backend asks: first the lock every copy of this program
    // takes, then the kernel's record of the device that has the port.
    const std::string locker = node.error == ENOENT ? std::string() : LockHolder(kernel, node.id);
    const std::string active = ActiveDevice(kernel, procRoot, port.name);
    if (!locker.empty())
        lines.push_back("  held by " + LockHolderText(locker));
    else if (!active.empty())
        lines.push_back("  held by " + ActiveDeviceText(active));
    else
        lines.push_back("  free: no driver or program holds it");
}

std::vector<fs::path> UsbPrinterAdapters(const fs::path& devRoot) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(devRoot / "usb", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().rfind("lp", 0) == 0) found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

PortInventory DescribeParallelPorts(KernelCalls& kernel, const fs::path& procRoot, const fs::path& devRoot) {
    PortInventory out;
    const std::vector<KernelPort> ports = ListKernelPorts(kernel, procRoot, devRoot);
    out.anyPort = !ports.empty();
    if (ports.empty())
        out.lines.push_back("No parallel port: the kernel lists none in " + procRoot.string() +
                            " - if this PC has one, \"sudo modprobe parport_pc\" loads its driver");
    for (const KernelPort& port : ports) DescribePort(kernel, procRoot, port, out.lines);

    std::string unlisted;
    for (std::uint16_t base : PortRouter::kLegacyBases) {
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const KernelPort& p) { return p.base == base; });
        if (!listed) unlisted += (unlisted.empty() ? "" : ", ") + Hex(base);
    }
    if (!unlisted.empty())
        out.lines.push_back("Legacy addresses " + unlisted +
                            ": the kernel lists no port there; only direct port I/O, as root, reaches them if the "
                            "PC has them");

    for (const fs::path& adapter : UsbPrinterAdapters(devRoot))
        out.lines.push_back(adapter.string() + ": a USB printer adapter (printer class), which cannot drive the board");
    return out;
}

}  // namespace moltrix::platform::ports
