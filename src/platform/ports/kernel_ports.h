#pragma once
// What the Linux kernel tells of its parallel ports: the ports it drives
// (<procRoot>/parportN), which of its devices has a port now
// (<procRoot>/parportN/devices/active) and which process holds the lock on a
// device node (/proc/locks). Only reads; nothing is opened or claimed.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/kernel_calls.h"

namespace moltrix::platform::ports {

// A port the kernel drives: parportN, whose base-addr holds its base and its
// extra (ECP) base in decimal, and its ppdev device <devRoot>/parportN, which
// is missing while the ppdev driver is not loaded.
struct KernelPort {
    std::string name;
    std::filesystem::path node;
    bool nodeExists = false;
    std::uint16_t base = 0;
    std::uint16_t extraBase = 0;  // 0: none
};

// The kernel's ports in parportN order; ports without an I/O base are left out.
std::vector<KernelPort> ListKernelPorts(KernelCalls& kernel,
                                        const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                        const std::filesystem::path& devRoot = "/dev");

// The kernel's port whose base is `base`.
std::optional<KernelPort> FindKernelPort(KernelCalls& kernel, std::uint16_t base,
                                         const std::filesystem::path& procRoot, const std::filesystem::path& devRoot);
std::optional<KernelPort> FindKernelPort(std::uint16_t base,
                                         const std::filesystem::path& procRoot = "/proc/sys/dev/parport",
                                         const std::filesystem::path& devRoot = "/dev");

// The device the kernel has given port `portName` ("parport1") to, as its
// devices/active names it: "lp" for the printer driver, "ppdevN" (N the port's
// number in hex) for a program using /dev/parportN. Empty when the port is
// free ("none") or the kernel does not say.
std::string ActiveDevice(KernelCalls& kernel, const std::filesystem::path& procRoot, const std::string& portName);

// Who that device is, with what to do: "the printer driver (lp) - unload it
// with "sudo rmmod lp"".
std::string ActiveDeviceText(const std::string& device);

// The process holding a flock on the file `id` ("moltrix-cli, process 4711",
// or "process 4711" when its name cannot be read); empty when none does or
// the system does not say.
std::string LockHolder(KernelCalls& kernel, const FileId& id);

// The holder of the lock every copy of this program takes, with what to do.
std::string LockHolderText(const std::string& holder);

}  // namespace moltrix::platform::ports
