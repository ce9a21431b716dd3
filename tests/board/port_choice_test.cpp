// Ports beyond the three standard ones: the probe going on to a card's port,
// the port box, ports named by address or device, and which ports the
// program holds.
#include <gtest/gtest.h>

#include <set>

#include "board/detection.h"
#include "sim/simulated_ports.h"
#include "support/rig.h"

namespace moltrix::board {
namespace {

using Lines = std::vector<std::string>;

// The simulated ports, seen as the system would show them, keeping count of
// which ports the program holds: a port is claimed by its first use (or by
// asking whether it can be used) and held until released.
struct SystemPorts : platform::PortIo {
    sim::SimulatedPorts sim;
    std::vector<platform::PortInfo> listed;  // empty: the simulator's own list
    std::set<std::uint16_t> held;
    std::set<std::uint16_t> touched;  // every base accessed at all

    void Use(std::uint16_t address) {  // an address of no port claims nothing
        for (const auto& port : sim.PortsOfThisPc()) {
            if (static_cast<std::uint16_t>(address - port.base) >= 3) continue;
            held.insert(port.base);
            touched.insert(port.base);
        }
    }
    void PortOut(std::uint16_t port, std::uint8_t value) override {
        Use(port);
        sim.PortOut(port, value);
    }
    std::uint8_t PortIn(std::uint16_t port) override {
        Use(port);
        return sim.PortIn(port);
    }
    std::string AccessProblem(std::uint16_t base) override {
        held.insert(base);
        return {};
    }
    void Release(std::uint16_t base) override { held.erase(base); }
    std::vector<platform::PortInfo> PortsOfThisPc() override { return listed.empty() ? sim.PortsOfThisPc() : listed; }
};

struct CardRig {
    SystemPorts ports;
    testing::Rig rig{&ports};
    Programmer& p() { return rig.p(); }
    // Start-up, then the operator presses "TestPort": the probe's own lines.
    Lines Probe() {
        p().Form_Load();
        p().form.TestHardware_button.Click();
        return rig.LogMessages();
    }
};

TEST(ProbeBeyondTheStandardPorts, ACardIsProbedOnlyWhenNoStandardPortAnswers) {
    const Lines nothingAtTheThree{"Port 278 Not Responding", "Port 378 Not Responding", "Port 3BC Not Responding"};
    struct Case {
        std::vector<std::uint16_t> boards;
        std::uint16_t found;
        Lines lines;
    } cases[] = {
        {{0xD010}, 0xD010, {}},
        {{0xFFF8}, 0xFFF8, {}},
        {{0x378, 0xD010}, 0x378, {"Port 278 Not Responding", "Port 3BC Not Responding", "Port Selection changed to 378h",
                                  "MOLTRIX-6 Device was FOUND at Port: 378"}},
    };
    for (auto& c : cases) {
        CardRig s;
        for (auto base : c.boards) s.ports.sim.AttachBoard(base, 6);
        const std::string hex = HexPort(c.found);
        if (c.lines.empty()) {
            c.lines = nothingAtTheThree;
            c.lines.push_back("Port Selection changed to " + hex + "h");
            c.lines.push_back("MOLTRIX-6 Device was FOUND at Port: " + hex);
        }
        SCOPED_TRACE(hex);
        EXPECT_EQ(s.Probe(), c.lines);
        EXPECT_EQ(s.p().regs.PortBase, c.found);
        EXPECT_EQ(s.p().regs.PortControl, c.found + 2);
        EXPECT_EQ(s.p().form.PortSelected.text, hex + "h");
        EXPECT_EQ(s.p().form.MoltrixHardwareFound.caption, "MODEL 6 - PC port " + hex + "h");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(s.p().form.LPTSelection.Value(i), kLptPorts[i] == c.found);
        // Only the adopted port stays claimed.
        EXPECT_EQ(s.ports.held, std::set<std::uint16_t>{c.found});
        if (c.found == 0x378) {
            EXPECT_EQ(s.ports.touched.count(0xD010), 0u) << "the card was probed";
        }
    }

    // Nothing anywhere: the card's port gets its line too, before the advice.
    CardRig none;
    none.ports.listed = {{0x378, "/dev/parport0"}, {0xE050, "/dev/parport1"}};
    Lines lines = nothingAtTheThree;
    lines.insert(lines.end(), {"Port E050 Not Responding", "Can't Locate Moltrix Board at Any LPT port.",
                               "Moltrix should be connected to a LPT port, with power and socket empty."});
    EXPECT_EQ(none.Probe(), lines);
    EXPECT_TRUE(none.ports.held.empty());
}

TEST(ProbeBeyondTheStandardPorts, TheBoardAtACardIsRememberedAcrossStarts) {
    CardRig first;
    first.ports.sim.AttachBoard(0xFFF8, 5);
    first.p().Form_Load();
    EXPECT_EQ(testing::FileText(first.rig.services.paths.programDir / "moltrix6.ini"),
              "[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\nIO_PORT = FFF8\r\nMODEL =  5 \r\n");

    CardRig second;
    second.ports.sim.AttachBoard(0xFFF8, 5);
    std::filesystem::copy_file(first.rig.services.paths.programDir / "moltrix6.ini",
                               second.rig.services.paths.programDir / "moltrix6.ini");
    second.p().Form_Load();
    EXPECT_EQ(second.ports.touched, std::set<std::uint16_t>{0xFFF8}) << "a port was probed";
    EXPECT_EQ(second.p().regs.PortBase, 0xFFF8);
    EXPECT_EQ(second.p().detect.BoardPort, 0xFFF8);
    EXPECT_EQ(second.p().form.MoltrixHardwareFound.caption, "MODEL 5 - PC port FFF8h");
}

TEST(PortBox, AnAddressTypedAndEnteredIsTakenAsAnOptionWouldBe) {
    CardRig s;
    s.ports.sim.AttachBoard(0x378, 6);
    s.ports.sim.AttachBoard(0xD010, 6);
    s.p().Form_Load();
    auto& f = s.p().form;
    const std::string ini = testing::FileText(s.rig.services.paths.programDir / "moltrix6.ini");

    f.PortSelected.EnterKey(" d010 ");
    EXPECT_EQ(s.rig.LogMessages(), Lines{"Port Selection changed to D010h"});
    EXPECT_EQ(f.PortSelected.text, "D010h");
    EXPECT_EQ(s.p().regs.PortBase, 0xD010);
    EXPECT_EQ(s.p().regs.PortStatus, 0xD011);
    EXPECT_EQ(s.p().regs.PortControl, 0xD012);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.LPTSelection.Value(i));
    // Nothing else changes: model, its codes, the set-up file; the port left is released.
    EXPECT_EQ(s.p().regs.BoardModel, 6);
    EXPECT_EQ(s.p().regs.StrobePulse[3], 0x0E);
    EXPECT_EQ(testing::FileText(s.rig.services.paths.programDir / "moltrix6.ini"), ini);
    EXPECT_EQ(s.ports.held.count(0x378), 0u);
    EXPECT_TRUE(s.rig.dialogs.shown.empty());

    // A standard address marks its option, as a click on it does.
    f.PortSelected.EnterKey("0x278");
    EXPECT_TRUE(f.LPTSelection.Value(1));
    EXPECT_EQ(f.PortSelected.text, "278h");
    EXPECT_EQ(s.p().regs.PortBase, 0x278);

    // Refused: a port the PC lacks, and text that is no address. The box
    // shows the port in use again; nothing is logged and nothing changes.
    const std::uint64_t generation = f.PortSelected.generation;
    for (const char* typed : {"E050", "hello", "12345", "0"}) {
        SCOPED_TRACE(typed);
        s.rig.dialogs.shown.clear();
        f.PortSelected.EnterKey(typed);
        EXPECT_EQ(s.p().regs.PortBase, 0x278);
        EXPECT_EQ(f.PortSelected.text, "278h");
        ASSERT_EQ(s.rig.dialogs.shown.size(), 1u);
        EXPECT_EQ(s.rig.dialogs.shown[0].icon, platform::MsgIcon::Exclamation);
        if (std::string(typed) == "E050") {
            EXPECT_EQ(s.rig.dialogs.shown[0].text,
                      "This PC has no parallel port at E050h. The parallel ports of this PC: 378h, 278h, 3BCh, D010h. A "
                      "card the system does not list needs its driver: sudo modprobe parport_pc.");
        } else {
            EXPECT_NE(s.rig.dialogs.shown[0].text.find("is not a port address"), std::string::npos);
        }
    }
    EXPECT_GT(f.PortSelected.generation, generation) << "the view is not told to show the port again";
    EXPECT_EQ(s.rig.LogMessages().size(), 2u);
}

TEST(PortNames, AddressesAndDevicesTheSystemLists) {
    CardRig s;
    s.ports.listed = {{0x378, "/dev/parport0"}, {0xD010, "/dev/parport1"}};
    const auto& d = s.p().detect;
    const struct {
        const char* text;
        std::uint16_t base;
        NamedPort::Problem problem;
    } cases[] = {
        {"D010", 0xD010, NamedPort::None},          {"d010h", 0xD010, NamedPort::None},
        {"/dev/parport1", 0xD010, NamedPort::None}, {"/dev/parport0", 0x378, NamedPort::None},
        {"3bc", 0x3BC, NamedPort::None},            {"/dev/parport2", 0, NamedPort::NotOnThisPc},
        {"DC00", 0, NamedPort::NotOnThisPc},        {"parport1", 0, NamedPort::NotAnAddress},
        {"", 0, NamedPort::NotAnAddress},
    };
    for (const auto& c : cases) {
        const NamedPort named = d.PortNamed(c.text);
        EXPECT_EQ(named.base, c.base) << c.text;
        EXPECT_EQ(named.problem, c.problem) << c.text;
        EXPECT_EQ(named.why.empty(), c.problem == NamedPort::None) << c.text;
    }
    EXPECT_NE(d.PortNamed("DC00").why.find("378h (/dev/parport0), 278h, 3BCh, D010h (/dev/parport1)"), std::string::npos);
}

}  // namespace
}  // namespace moltrix::board
