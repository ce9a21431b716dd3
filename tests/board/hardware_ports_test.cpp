// Routing port addresses to the backend of each parallel port, and finding the
// ppdev device for a base address.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/ports/port_backend.h"
#include "support/rig.h"

namespace moltrix::platform::ports {
namespace {
namespace fs = std::filesystem;

struct FakePort : PortBackend {
    explicit FakePort(std::vector<std::string>* journal, std::uint16_t base) : journal(journal), base(base) {}
    void Write(PortRegister reg, std::uint8_t v) override {
        journal->push_back(std::to_string(base) + " w" + std::to_string(reg) + "=" + std::to_string(v));
    }
    std::uint8_t Read(PortRegister reg) override {
        journal->push_back(std::to_string(base) + " r" + std::to_string(reg));
        return static_cast<std::uint8_t>(0x10 + reg);
    }
    std::vector<std::string>* journal;
    std::uint16_t base;
};

TEST(PortRouter, EachAddressReachesItsPortsRegister) {
    std::vector<std::string> journal;
    std::vector<std::uint16_t> opened;
    PortRouter router([&](std::uint16_t base) -> OpenedPort {
        opened.push_back(base);
        return {std::make_unique<FakePort>(&journal, base), {}};
    });
    router.PortOut(0x278, 0xAA);
    router.PortOut(0x27A, 0x05);
    EXPECT_EQ(router.PortIn(0x279), 0x11);
    router.PortOut(0x3BE, 0x0E);
    EXPECT_EQ(router.PortIn(0x378), 0x10);
    EXPECT_EQ(router.PortIn(0x37A), 0x12);
    router.PortOut(0x279, 0x33);  // status is read-only: nothing reaches the port
    EXPECT_EQ(journal, (std::vector<std::string>{"632 w0=170", "632 w2=5", "632 r1", "956 w2=14", "888 r0", "888 r2"}));
    EXPECT_EQ(opened, (std::vector<std::uint16_t>{0x278, 0x3BC, 0x378})) << "each port opened once, on first use";
}

TEST(PortRouter, PortThatCannotBeOpenedIsNoPortAndSaysWhy) {
    int opens = 0;
    PortRouter router([&](std::uint16_t base) -> OpenedPort {
        ++opens;
        if (base == 0x378) return {nullptr, "/dev/parport0 cannot be opened (Permission denied)"};
        return {};
    });
    router.PortOut(0x378, 0x00);
    for (std::uint16_t port : {0x378, 0x379, 0x37A}) EXPECT_EQ(router.PortIn(port), 0xFF);
    EXPECT_EQ(opens, 1) << "a failed port is not retried on every access";
    EXPECT_EQ(router.ProblemsSoFar(), std::vector<std::string>{"Port 378: /dev/parport0 cannot be opened (Permission denied)"});
    EXPECT_EQ(router.AccessProblem(0x278), "") << "a port the PC does not have is no problem";
    EXPECT_EQ(opens, 2);
}

// The probe says first why a port could not be used, then logs its own lines as always.
TEST(PortRouter, TheProbeNamesAPortItMayNotUseBeforeItsOwnLines) {
    const std::string why = "/dev/parport0 cannot be opened (Permission denied) - give your user access with "
                            "\"sudo adduser $USER lp\" and log in again";
    PortRouter router([&](std::uint16_t base) -> OpenedPort {
        if (base == 0x378) return {nullptr, why};
        return {};
    });
    testing::Rig rig(&router);
    rig.p().Form_Load();
    rig.p().form.TestHardware_button.Click();
    EXPECT_EQ(rig.LogMessages(), (std::vector<std::string>{
                                     "Port 378: " + why, "Port 278 Not Responding", "Port 378 Not Responding",
                                     "Port 3BC Not Responding", "Can't Locate Moltrix Board at Any LPT port.",
                                     "Moltrix should be connected to a LPT port, with power and socket empty."}));
}

TEST(PortRouter, OtherAddressesAreNoPort) {
    int opens = 0;
    PortRouter router([&](std::uint16_t) -> OpenedPort {
        ++opens;
        return {};
    });
    for (std::uint16_t port : {0x000, 0x377, 0x37B, 0x3F8, 0xFFFF}) {
        router.PortOut(port, 0x12);
        EXPECT_EQ(router.PortIn(port), 0xFF);
    }
    EXPECT_EQ(opens, 0);
}

class PpdevNodes : public ::testing::Test {
protected:
    void Port(const std::string& name, const std::string& baseAddr, bool node) {
        fs::create_directories(proc() / name);
        std::ofstream(proc() / name / "base-addr") << baseAddr;
        if (node) std::ofstream(dev() / name) << "";
    }
    fs::path proc() const { return tmp.path() / "proc"; }
    fs::path dev() const { return tmp.path() / "dev"; }
    testing::TempDir tmp;
};

TEST_F(PpdevNodes, BaseAddressPicksTheDevice) {
    fs::create_directories(dev());
    Port("parport0", "888\t1912\n", true);
    Port("parport1", "632\t-1\n", true);
    Port("parport2", "956\n", false);  // parport driver loaded, ppdev device missing
    Port("parport3", "garbage\n", true);
    const auto at378 = FindKernelPort(0x378, proc(), dev());
    ASSERT_TRUE(at378);
    EXPECT_EQ(at378->node, dev() / "parport0");
    EXPECT_TRUE(at378->nodeExists);
    EXPECT_EQ(FindKernelPort(0x278, proc(), dev())->node, dev() / "parport1");
    const auto at3BC = FindKernelPort(0x3BC, proc(), dev());
    ASSERT_TRUE(at3BC);
    EXPECT_EQ(at3BC->name, "parport2");
    EXPECT_FALSE(at3BC->nodeExists);
    EXPECT_EQ(FindKernelPort(0x3F8, proc(), dev()), std::nullopt);
}

TEST(Ppdev, ADeviceThatCannotBeOpenedOrClaimedSaysWhyAndHowToFixIt) {
    const OpenedPort notAPort = OpenPpdev("/dev/null");
    EXPECT_EQ(notAPort.backend, nullptr);
    EXPECT_EQ(notAPort.problem.rfind("/dev/null cannot be claimed (", 0), 0u) << notAPort.problem;
    const OpenedPort missing = OpenPpdev("/nonexistent/parport0");
    EXPECT_EQ(missing.backend, nullptr);
    EXPECT_EQ(missing.problem, "/nonexistent/parport0 cannot be opened (No such file or directory) - load the "
                               "driver with \"sudo modprobe ppdev\"");
}

}  // namespace
}  // namespace moltrix::platform::ports
