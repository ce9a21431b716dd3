#include "platform/ports/kernel_ports.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>

namespace moltrix::platform::ports {
namespace fs = std::filesystem;
namespace {

constexpr long long kHighestPortAddress = 0xFFFF;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// N of "parportN"; nothing for any other name ("default").
std::optional<unsigned> PortNumber(const std::string& name) {
    const std::string prefix = "parport";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    unsigned number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return number;
}

}  // namespace

std::vector<KernelPort> ListKernelPorts(KernelCalls& kernel, const fs::path& procRoot, const fs::path& devRoot) {
    std::vector<std::pair<unsigned, KernelPort>> found;
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto number = PortNumber(name);
        if (!number) continue;
        std::istringstream addresses(kernel.ReadText(it->path() / "base-addr").value_or(""));
        long long base = -1, extra = -1;
        if (!(addresses >> base) || base <= 0 || base > kHighestPortAddress) continue;
        addresses >> extra;  // printed unsigned: a port without one shows 0 or a huge number
        KernelPort port{name, devRoot / name, false, static_cast<std::uint16_t>(base), 0};
        if (extra > 0 && extra <= kHighestPortAddress) port.extraBase = static_cast<std::uint16_t>(extra);
        port.nodeExists = kernel.Examine(port.node).error != ENOENT;
        found.emplace_back(*number, std::move(port));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<KernelPort> ports;
    for (auto& entry : found) ports.push_back(std::move(entry.second));
    return ports;
}

std::optional<KernelPort> FindKernelPort(KernelCalls& kernel, std::uint16_t base, const fs::path& procRoot,
                                         const fs::path& devRoot) {
    for (KernelPort& port : ListKernelPorts(kernel, procRoot, devRoot))
        if (port.base == base) return std::move(port);
    return std::nullopt;
}

std::optional<KernelPort> FindKernelPort(std::uint16_t base, const fs::path& procRoot, const fs::path& devRoot) {
    return FindKernelPort(RealKernel(), base, procRoot, devRoot);
}

std::string ActiveDevice(KernelCalls& kernel, const fs::path& procRoot, const std::string& portName) {
    const std::string active = Trimmed(kernel.ReadText(procRoot / portName / "devices" / "active").value_or(""));
    return active == "none" ? std::string() : active;
}

std::string ActiveDeviceText(const std::string& device) {
    if (device == "lp") return "the printer driver (lp) - unload it with \"sudo rmmod lp\"";
    if (device.rfind("ppdev", 0) == 0)
        return "another program through ppdev (" + device + ") - close the program that uses the port";
    return "another driver (" + device + ") - unload that driver";
}

std::string LockHolder(KernelCalls& kernel, const FileId& id) {
    // "1: FLOCK  ADVISORY  WRITE 4711 00:05:123 0 EOF"; a waiter's line has "->"
    // before its type.
    std::istringstream locks(kernel.ReadText("/proc/locks").value_or(""));
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, type, mode, access, pid, file;
        if (!(fields >> number >> type >> mode >> access >> pid >> file) || type != "FLOCK") continue;
        FileId locked;
        if (std::sscanf(file.c_str(), "%x:%x:%lu", &locked.major, &locked.minor, &locked.inode) != 3) continue;
        if (!(locked == id)) continue;
        const std::string name = Trimmed(kernel.ReadText("/proc/" + pid + "/comm").value_or(""));
        return (name.empty() ? "" : name + ", ") + "process " + pid;
    }
    return {};
}

std::string LockHolderText(const std::string& holder) {
    return "another copy of this program" + (holder.empty() ? "" : " (" + holder + ")") +
           " - close the other copy of the program";
}

}  // namespace moltrix::platform::ports
