// A port that another copy of the program, another program or a kernel driver
// holds is reported at once, with who holds it and what to do; nothing waits
// for it. Once the holder lets go, the port opens.
#include <gtest/gtest.h>

#include <linux/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "fake_kernel.h"
#include "platform/ports/hardware_ports.h"
#include "platform/ports/port_backend.h"

namespace moltrix::testing {
namespace {
using platform::ports::OpenHardwarePorts;
using platform::ports::PortRouter;

constexpr std::uint16_t kCard = 0xD010;  // parport1, a PCIe card

struct Holder {
    const char* who;
    // Takes parport1 and gives back how to let it go again.
    std::function<std::function<void()>(FakePc&)> take;
    std::string problem;  // after "Port D010: <dev>/parport1 is held by "
};

const Holder kHolders[] = {
    {"another copy of the program",
     [](FakePc& pc) -> std::function<void()> {
         pc.kernel.ActAs(4711, "moltrix");
         std::shared_ptr<PortRouter> first = OpenHardwarePorts(pc.kernel, pc.proc(), pc.dev());
         first->PortOut(kCard, 0x11);
         return [first] { first->Release(kCard); };
     },
     "another copy of this program (moltrix, process 4711) - close the other copy of the program"},
    {"the printer driver",
     [](FakePc& pc) -> std::function<void()> {
         pc.kernel.DriverClaims(1, "lp");
         return [&pc] { pc.kernel.DriverReleases(1); };
     },
     "the printer driver (lp) - unload it with \"sudo rmmod lp\""},
    {"another program on ppdev",
     [](FakePc& pc) -> std::function<void()> {
         pc.kernel.ActAs(5150, "someprog");
         const int fd = pc.kernel.Open(pc.Node(1));
         pc.kernel.Ioctl(fd, PPCLAIM, nullptr);
         return [&pc, fd] { pc.kernel.Close(fd); };
     },
     "another program through ppdev (ppdev1) - close the program that uses the port"},
};

bool Wrote(const FakePc& pc, const std::string& entry) {
    const auto journal = pc.kernel.Journal();
    return std::find(journal.begin(), journal.end(), entry) != journal.end();
}

TEST(PortHolders, AHeldPortIsReportedAtOnceAndOpensWhenTheHolderLetsGo) {
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.who);
        FakePc pc;
        pc.AddPort(0, "888\t1912\n");
        pc.AddPort(1, "53264\t53248\n");
        const auto letGo = holder.take(pc);
        pc.kernel.ActAs(4712, "moltrix-cli");

        auto router = OpenHardwarePorts(pc.kernel, pc.proc(), pc.dev());
        EXPECT_EQ(router->AccessProblem(kCard),
                  "Port D010: " + pc.Node(1).string() + " is held by " + holder.problem);
        router->PortOut(kCard, 0x55);
        EXPECT_FALSE(Wrote(pc, "parport1 data=55")) << "a held port is no port";
        EXPECT_EQ(router->AccessProblem(0x378), "") << "the other port is free";
        EXPECT_FALSE(pc.kernel.Waited()) << "the claim must not wait for the holder";

        letGo();
        EXPECT_EQ(router->AccessProblem(kCard), "Port D010: " + pc.Node(1).string() + " is held by " + holder.problem)
            << "the problem stays until the port is released";
        router->Release(kCard);
        EXPECT_EQ(router->AccessProblem(kCard), "");
        router->PortOut(kCard, 0x55);
        EXPECT_TRUE(Wrote(pc, "parport1 data=55"));
        EXPECT_EQ(router->ProblemsSoFar().size(), 1u) << "what was met is still told";
        EXPECT_FALSE(pc.kernel.Waited());
    }
}

}  // namespace
}  // namespace moltrix::testing
