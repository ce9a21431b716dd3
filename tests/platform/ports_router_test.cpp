// The real ports at any address: the kernel's ports (PCI and PCIe cards
// included), the legacy ones and any base the core names; releasing a port;
// the port privileges of direct I/O.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

#include "fake_kernel.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"

namespace moltrix::testing {
namespace {
using platform::PortInfo;
using platform::ports::OpenDirectIo;
using platform::ports::OpenedPort;
using platform::ports::OpenHardwarePorts;
using platform::ports::PortRouter;
using Journal = std::vector<std::string>;

// The last `n` entries of the kernel's journal (fewer when it has fewer).
Journal Last(const FakeKernel& kernel, std::size_t n) {
    const Journal journal = kernel.Journal();
    return Journal(journal.end() - static_cast<long>(std::min(n, journal.size())), journal.end());
}

std::vector<std::string> Listed(const std::vector<PortInfo>& ports) {
    std::vector<std::string> out;
    for (const PortInfo& port : ports) out.push_back(std::to_string(port.base) + " " + port.device);
    return out;
}

TEST(PortRouterAddresses, EveryPortTheKernelListsIsReachedAndReleased) {
    FakePc pc;
    pc.AddPort(0, "888\t1912\n");
    pc.AddPort(1, "53264\t53248\n");                               // D010h
    pc.AddPort(2, "57424\t0\n", FakePc::NodeKind::Missing);        // E050h, ppdev not loaded
    pc.AddPort(10, "65528\t18446744073709551615\n");               // FFF8h, after parport2
    pc.kernel.privilegeError = EPERM;
    auto router = OpenHardwarePorts(pc.kernel, pc.proc(), pc.dev());

    EXPECT_EQ(Listed(router->PortsOfThisPc()),
              Listed({{0x378, pc.Node(0).string()}, {0xD010, pc.Node(1).string()}, {0xE050, ""},
                      {0xFFF8, pc.Node(10).string()}}));
    router->PortOut(0xD010, 0xA5);
    router->PortOut(0xD012, 0x04);
    router->PortOut(0xD011, 0x33);  // status is read-only
    pc.kernel.status = 0x5F;
    EXPECT_EQ(router->PortIn(0xD011), 0x5F);
    EXPECT_EQ(router->PortIn(0xD010), 0xA5);
    router->PortOut(0xFFFA, 0x0C);
    for (std::uint16_t none : {0xD00F, 0xD013, 0xFFF7, 0xFFFB, 0xFFFF}) {
        router->PortOut(none, 0x99);
        EXPECT_EQ(router->PortIn(none), 0xFF) << std::hex << none;
    }
    EXPECT_EQ(pc.kernel.Journal(), (Journal{"parport1 claimed", "parport1 data=A5", "parport1 control=04",
                                            "parport10 claimed", "parport10 control=0C"}));

    EXPECT_EQ(router->AccessProblem(0xE050),
              "Port E050: the kernel has parport2 here but no " + pc.Node(2).string() +
                  " (the ppdev driver is not loaded), and direct port access was refused (Operation not permitted) - "
                  "load the driver with \"sudo modprobe ppdev\" and give your user access with \"sudo adduser $USER lp\"");
    EXPECT_EQ(router->ProblemsSoFar().size(), 1u);

    router->Release(0xD010);
    router->Release(0xE050);
    EXPECT_EQ(router->AccessProblem(0xE050), router->ProblemsSoFar()[0]) << "asked again after the release";
    EXPECT_EQ(router->ProblemsSoFar().size(), 1u) << "a problem met is told once, released or not";
    router->Release(0xE050);
    EXPECT_EQ(pc.kernel.OpenFiles(), 1u) << "parport1 closed, parport10 still open";
    router->PortOut(0xD010, 0x01);  // opened again on its next use
    EXPECT_EQ(Last(pc.kernel, 2), (Journal{"parport1 claimed", "parport1 data=01"}));
    router.reset();
    EXPECT_EQ(pc.kernel.OpenFiles(), 0u);
    EXPECT_FALSE(pc.kernel.Waited());
}

// A base no one lists becomes a port when the core asks about it; until then
// its addresses are no port.
TEST(PortRouterAddresses, ABaseTheCoreNamesBecomesAPort) {
    std::vector<std::string> opened;
    PortRouter router([&](std::uint16_t base) -> OpenedPort {
        opened.push_back(std::to_string(base));
        if (base == 0xDC00) return {nullptr, "refused"};
        return {};
    });
    router.PortOut(0xDC00, 0x12);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(router.AccessProblem(0xDC00), "Port DC00: refused");
    EXPECT_EQ(router.AccessProblem(0), "") << "0 stands for no port";
    EXPECT_EQ(opened, (std::vector<std::string>{std::to_string(0xDC00)}));
    router.PortIn(0xDC02);
    EXPECT_EQ(opened.size(), 1u) << "kept until released";
    router.Release(0xDC00);
    EXPECT_EQ(router.ProblemsSoFar(), std::vector<std::string>{"Port DC00: refused"});
    router.PortIn(0xDC02);
    EXPECT_EQ(opened.size(), 2u);
}

// ioperm reaches only addresses up to 3FFh; a port above needs iopl(3), given
// back when the last such port goes.
TEST(DirectIoPrivileges, IopermBelow400hIoplAboveUntilTheLastHighPortGoes) {
    FakePc pc;
    std::map<std::uint16_t, std::unique_ptr<platform::ports::PortBackend>> open;
    const struct Step {
        bool open;
        std::uint16_t base;
        Journal calls;
    } steps[] = {
        {true, 0x378, {"ioperm 378 3 on"}},   {true, 0x3FD, {"ioperm 3FD 3 on"}},
        {true, 0x3FE, {"iopl 3"}},            {true, 0xD010, {}},
        {false, 0x3FE, {}},                   {false, 0x378, {"ioperm 378 3 off"}},
        {false, 0xD010, {"iopl 0"}},          {true, 0xFFF8, {"iopl 3"}},
        {false, 0xFFF8, {"iopl 0"}},          {false, 0x3FD, {"ioperm 3FD 3 off"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.open) + " " + std::to_string(step.base));
        const std::size_t before = pc.kernel.Journal().size();
        if (step.open) {
            OpenedPort port = OpenDirectIo(pc.kernel, step.base);
            ASSERT_TRUE(port.backend);
            open[step.base] = std::move(port.backend);
        } else {
            open.erase(step.base);
        }
        const Journal journal = pc.kernel.Journal();
        EXPECT_EQ(Journal(journal.begin() + static_cast<long>(before), journal.end()), step.calls);
    }

    pc.kernel.privilegeError = EPERM;
    const OpenedPort refused = OpenDirectIo(pc.kernel, 0xD010);
    EXPECT_FALSE(refused.backend);
    EXPECT_EQ(refused.problem, "Operation not permitted");
    pc.kernel.privilegeError = 0;
    EXPECT_TRUE(OpenDirectIo(pc.kernel, 0xD010).backend);
    EXPECT_EQ(Last(pc.kernel, 3), (Journal{"iopl 3", "iopl 3", "iopl 0"}))
        << "a refusal leaves no user of the privilege behind";
}

}  // namespace
}  // namespace moltrix::testing
