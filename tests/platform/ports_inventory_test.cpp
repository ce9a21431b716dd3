// The description of this PC's parallel ports ("moltrix-cli ports"), on fake
// /proc and /dev trees and the fake kernel. Looking opens, locks and claims
// nothing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fake_kernel.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"
#include "platform/ports/port_inventory.h"

namespace moltrix::testing {
namespace {
using platform::ports::DescribeParallelPorts;
using platform::ports::OpenHardwarePorts;
using platform::ports::PortRouter;

const std::string kFree = "  free: no driver or program holds it";
const std::string kNoPort = "No parallel port: the kernel lists none in @proc - if this PC has one, "
                            "\"sudo modprobe parport_pc\" loads its driver";
std::string Legacy(const std::string& addresses) {
    return "Legacy addresses " + addresses +
           ": the kernel lists no port there; only direct port I/O, as root, reaches them if the PC has them";
}

struct Case {
    const char* pc;
    std::function<void(FakePc&, std::unique_ptr<PortRouter>& holder)> build;
    std::vector<std::string> lines;  // "@" stands for the fake tree's folder
    bool anyPort;
};

const Case kCases[] = {
    {"no parallel port", [](FakePc&, auto&) {}, {kNoPort, Legacy("378h, 278h, 3BCh")}, false},
    {"the mainboard's port at 378h",
     [](FakePc& pc, auto&) { pc.AddPort(0, "888\t1912\n", FakePc::NodeKind::Usable, "PCSPP,TRISTATE,COMPAT,EPP,ECP"); },
     {"parport0: base 378h, extra base 778h, modes PCSPP,TRISTATE,COMPAT,EPP,ECP", "  @dev/parport0: this user may open it",
      kFree, Legacy("278h, 3BCh")},
     true},
    {"a PCIe card at D010h",
     [](FakePc& pc, auto&) { pc.AddPort(0, "53264\t53248\n"); },
     {"parport0: base D010h, extra base D000h, modes PCSPP,TRISTATE", "  @dev/parport0: this user may open it", kFree,
      Legacy("378h, 278h, 3BCh")},
     true},
    {"a USB printer adapter only",
     [](FakePc& pc, auto&) { pc.AddUsbPrinter("lp0"); },
     {kNoPort, Legacy("378h, 278h, 3BCh"),
      "@dev/usb/lp0: a USB printer adapter (printer class), which cannot drive the board"},
     false},
    {"a node this user may not open, and one the ppdev driver has not made",
     [](FakePc& pc, auto&) {
         pc.AddPort(0, "888\t0\n", FakePc::NodeKind::Denied);
         pc.AddPort(1, "632\t0\n", FakePc::NodeKind::Missing);
     },
     {"parport0: base 378h, modes PCSPP,TRISTATE",
      "  @dev/parport0: this user may not open it (Permission denied; the node's group is lp) - give your user access "
      "with \"sudo adduser $USER lp\" and log in again",
      kFree, "parport1: base 278h, modes PCSPP,TRISTATE",
      "  @dev/parport1: missing (the ppdev driver is not loaded) - load it with \"sudo modprobe ppdev\"", kFree,
      Legacy("3BCh")},
     true},
    {"a port the printer driver holds",
     [](FakePc& pc, auto&) {
         pc.AddPort(0, "888\t1912\n");
         pc.kernel.DriverClaims(0, "lp");
     },
     {"parport0: base 378h, extra base 778h, modes PCSPP,TRISTATE", "  @dev/parport0: this user may open it",
      "  held by the printer driver (lp) - unload it with \"sudo rmmod lp\"", Legacy("278h, 3BCh")},
     true},
    {"a port another copy of the program holds",
     [](FakePc& pc, auto& holder) {
         pc.AddPort(0, "888\t1912\n");
         pc.kernel.ActAs(4711, "moltrix");
         holder = OpenHardwarePorts(pc.kernel, pc.proc(), pc.dev());
         holder->PortOut(0x378, 0);
     },
     {"parport0: base 378h, extra base 778h, modes PCSPP,TRISTATE", "  @dev/parport0: this user may open it",
      "  held by another copy of this program (moltrix, process 4711) - close the other copy of the program",
      Legacy("278h, 3BCh")},
     true},
};

std::string Placed(std::string line, const FakePc& pc) {
    const std::string root = pc.tmp.path().string() + "/";
    for (std::size_t at; (at = line.find('@')) != std::string::npos;) line.replace(at, 1, root);
    return line;
}

TEST(PortInventory, SaysWhatPortsThePcHasWhoMayUseThemAndWhoHoldsThem) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pc);
        FakePc pc;
        std::unique_ptr<PortRouter> holder;
        c.build(pc, holder);
        const auto journal = pc.kernel.Journal();
        const std::size_t opens = pc.kernel.Opens();

        const auto inventory = DescribeParallelPorts(pc.kernel, pc.proc(), pc.dev());

        std::vector<std::string> expected;
        for (const std::string& line : c.lines) expected.push_back(Placed(line, pc));
        EXPECT_EQ(inventory.lines, expected);
        EXPECT_EQ(inventory.anyPort, c.anyPort);
        EXPECT_EQ(pc.kernel.Journal(), journal) << "looking claims nothing";
        EXPECT_EQ(pc.kernel.Opens(), opens) << "looking opens nothing";
    }
}

}  // namespace
}  // namespace moltrix::testing
