// Finding the board on the simulated ports: every model at every port, two
// boards, no board, and forcing a model.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "board/detection.h"
#include "sim/simulated_ports.h"
#include "support/rig.h"

namespace moltrix::board {
namespace {

std::string Hex(int port) {
    std::ostringstream s;
    s << std::uppercase << std::hex << port;
    return s.str();
}

struct SimRig {
    sim::SimulatedPorts ports;
    testing::Rig rig{&ports};
    Programmer& p() { return rig.p(); }
    std::filesystem::path Ini() const { return rig.services.paths.programDir / "moltrix6.ini"; }
};

TEST(DetectionOnSimulator, EveryModelIsFoundAtEveryPort) {
    struct Port {
        int base, option;
    };
    for (int model : {4, 5, 6}) {
        for (Port port : {Port{0x378, 0}, Port{0x278, 1}, Port{0x3BC, 2}}) {
            SCOPED_TRACE("model " + std::to_string(model) + " at " + Hex(port.base));
            SimRig s;
            s.ports.AttachBoard(static_cast<std::uint16_t>(port.base), model);
            s.p().Form_Load();
            auto& f = s.p().form;
            EXPECT_EQ(s.p().regs.BoardModel, model);
            EXPECT_EQ(s.p().regs.PortBase, port.base);
            EXPECT_EQ(s.p().detect.BoardPort, port.base);

            // The operator presses "TestPort" again: the same board, and the log tells it.
            f.TestHardware_button.Click();
            EXPECT_EQ(s.p().regs.BoardModel, model);
            std::vector<std::string> expected;
            for (int other : {0x278, 0x378, 0x3BC})
                if (other != port.base) expected.push_back("Port " + Hex(other) + " Not Responding");
            expected.push_back("Port Selection changed to " + Hex(port.base) + "h");
            expected.push_back("MOLTRIX-" + std::to_string(model) + " Device was FOUND at Port: " + Hex(port.base));
            EXPECT_EQ(s.rig.LogMessages(), expected);

            EXPECT_EQ(f.MoltrixHardwareFound.caption,
                      "MODEL " + std::to_string(model) + " - PC port " + Hex(port.base) + "h");
            EXPECT_EQ(f.MoltrixHardwareFound.foreColor, form::Color::ButtonText());
            EXPECT_EQ(f.Ready_label.caption, "Ready");
            EXPECT_EQ(f.Ready_label.foreColor, form::kGreen);
            EXPECT_EQ(f.PortSelected.text, Hex(port.base) + "h");
            for (int i = 0; i < 3; ++i) EXPECT_EQ(f.LPTSelection.Value(i), i == port.option);
            // The found model's codes are loaded and the board is left idle.
            EXPECT_EQ(s.p().regs.StrobePulse[3], model == 4 ? 0x01 : 0x0E);
            auto* board = s.ports.BoardAt(static_cast<std::uint16_t>(port.base));
            ASSERT_NE(board, nullptr);
            EXPECT_EQ(board->Register(0), 0x40);  // OE inactive, LED off
            EXPECT_EQ(board->Register(3) & 0xC0, 0xC0);  // CE inactive, register 4 released
        }
    }
}

TEST(DetectionOnSimulator, FoundBoardIsWrittenToTheSetUpFile) {
    SimRig s;
    s.ports.AttachBoard(0x378, 6);
    s.rig.clock.now = {2026, 3, 4, 9, 8, 7};
    s.p().Form_Load();
    EXPECT_EQ(testing::FileText(s.Ini()),
              "[MOLTRIX6 SETUP]\r\nDATE = 03-04-2026 09:08:07\r\nIO_PORT = 378\r\nMODEL =  6 \r\n");
}

TEST(DetectionOnSimulator, ModelFiveAndSixBlinkTheLedModelFourDoesNot) {
    for (int model : {4, 5, 6}) {
        SimRig s;
        s.ports.AttachBoard(0x278, model);
        s.p().Form_Load();
        EXPECT_EQ(s.rig.clock.sleptMs, model == 4 ? 0 : 200) << "model " << model;
    }
}

TEST(DetectionOnSimulator, TwoBoardsGiveTheModelFourAt378) {
    SimRig s;
    s.ports.AttachBoard(0x278, 5);
    s.ports.AttachBoard(0x378, 4);
    s.p().Form_Load();
    s.p().form.TestHardware_button.Click();
    EXPECT_EQ(s.p().regs.BoardModel, 4);
    EXPECT_EQ(s.p().regs.PortBase, 0x378);
    EXPECT_EQ(s.rig.LogMessages(), (std::vector<std::string>{"Port 3BC Not Responding",
                                                             "Port Selection changed to 378h",
                                                             "MOLTRIX-4 Device was FOUND at Port: 378"}));
}

TEST(DetectionOnSimulator, NoBoardLeavesTheOldPortAndSaysHowToConnect) {
    SimRig s;
    s.p().Form_Load();
    EXPECT_EQ(s.p().regs.PortBase, 0);
    EXPECT_FALSE(std::filesystem::exists(s.Ini()));
    s.p().form.LPTSelection.Click(2);  // the operator picks 3BCh by hand
    s.p().form.menuTestHardware.Click();
    EXPECT_EQ(s.rig.LogMessages(),
              (std::vector<std::string>{"Port Selection changed to 3BCh", "Port 278 Not Responding",
                                        "Port 378 Not Responding", "Port 3BC Not Responding",
                                        "Can't Locate Moltrix Board at Any LPT port.",
                                        "Moltrix should be connected to a LPT port, with power and socket empty."}));
    auto& f = s.p().form;
    EXPECT_EQ(s.p().regs.BoardModel, 0);
    EXPECT_EQ(s.p().regs.PortBase, 0x3BC);
    EXPECT_EQ(s.p().regs.PortControl, 0x3BE);
    EXPECT_EQ(f.MoltrixHardwareFound.caption, "NO HARDWARE FOUND");
    EXPECT_EQ(f.MoltrixHardwareFound.foreColor, form::kRed);
    EXPECT_EQ(f.Ready_label.caption, "NotReady");
    EXPECT_EQ(f.Ready_label.foreColor, form::kRed);
    EXPECT_EQ(f.PortSelected.text, "None");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.LPTSelection.Value(i));
}

TEST(DetectionOnSimulator, StartUpShowsTheResultButAnEmptyLog) {
    SimRig s;
    s.ports.AttachBoard(0x3BC, 5);
    s.p().Form_Load();
    EXPECT_TRUE(s.rig.LogMessages().empty());
    EXPECT_EQ(s.p().form.MoltrixHardwareFound.caption, "MODEL 5 - PC port 3BCh");
}

TEST(DetectionOnSimulator, ForcingAModelSwitchesCodesButKeepsPortAndFile) {
    SimRig s;
    s.ports.AttachBoard(0x378, 6);
    s.p().Form_Load();
    const std::string fileBefore = testing::FileText(s.Ini());
    struct Case {
        form::MenuItem* item;
        int model;
        std::int16_t pulse3;
    };
    auto& f = s.p().form;
    for (Case c : {Case{&f.ForceMoltrix4, 4, 0x01}, Case{&f.ForceMoltrix5, 5, 0x0E}, Case{&f.ForceMoltrix6, 6, 0x0E}}) {
        SCOPED_TRACE(c.model);
        const auto probesBefore = s.ports.PortReads();
        c.item->Click();
        EXPECT_EQ(s.p().regs.BoardModel, c.model);
        EXPECT_EQ(s.p().regs.StrobePulse[3], c.pulse3);
        EXPECT_EQ(s.p().regs.PortBase, 0x378);
        EXPECT_EQ(s.ports.PortReads(), probesBefore) << "no test may run";
        EXPECT_EQ(s.rig.LogMessages().back(), "MOLTRIX-" + std::to_string(c.model) + " Device was FORCED by Operator");
        EXPECT_EQ(f.MoltrixHardwareFound.caption, "Operator Forced Model " + std::to_string(c.model));
        EXPECT_EQ(f.MoltrixHardwareFound.foreColor, form::kRed);
        EXPECT_EQ(f.Ready_label.caption, "Ready");
        EXPECT_EQ(f.Ready_label.foreColor, form::kGreen);
        EXPECT_EQ(testing::FileText(s.Ini()), fileBefore);
    }
}

TEST(DetectionOnSimulator, ChoosingAPortChangesOnlyThePort) {
    SimRig s;
    s.ports.AttachBoard(0x378, 6);
    s.p().Form_Load();
    const auto reads = s.ports.PortReads();
    s.p().form.LPTSelection.Click(1);
    EXPECT_EQ(s.p().form.PortSelected.text, "278h");
    EXPECT_EQ(s.rig.LogMessages().back(), "Port Selection changed to 278h");
    EXPECT_EQ(s.p().regs.PortBase, 0x278);
    EXPECT_EQ(s.p().regs.PortStatus, 0x279);
    EXPECT_EQ(s.p().regs.BoardModel, 6);
    EXPECT_EQ(s.ports.PortReads(), reads);
}

TEST(DetectionOnSimulator, SetUpFileNamingAPortMeansNoProbeAtStartUp) {
    SimRig s;
    s.ports.AttachBoard(0x278, 5);
    std::ofstream(s.Ini(), std::ios::binary) << "[MOLTRIX6 SETUP]\r\nDATE = 01-01-2026 00:00:00\r\n"
                                                "IO_PORT = 278\r\nMODEL =  5 \r\n";
    s.p().Form_Load();
    EXPECT_EQ(s.ports.PortReads(), 0u) << "a known board is trusted, not probed";
    EXPECT_EQ(s.p().regs.BoardModel, 5);
    EXPECT_EQ(s.p().regs.PortBase, 0x278);
    EXPECT_EQ(s.p().form.MoltrixHardwareFound.caption, "MODEL 5 - PC port 278h");
    EXPECT_TRUE(s.p().form.LPTSelection.Value(1));
}


// Passes every access on to the simulated ports and keeps the data-port writes.
struct WatchingPorts : platform::PortIo {
    sim::SimulatedPorts ports;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> dataWrites;
    void PortOut(std::uint16_t port, std::uint8_t value) override {
        if (port == 0x378 || port == 0x278 || port == 0x3BC) dataWrites.emplace_back(port, value);
        ports.PortOut(port, value);
    }
    std::uint8_t PortIn(std::uint16_t port) override { return ports.PortIn(port); }
    int Count(std::uint16_t port, std::uint8_t value) const {
        int n = 0;
        for (auto [p, v] : dataWrites) n += p == port && v == value;
        return n;
    }
};

TEST(DetectionOnSimulator, AModel5FoundEarlierIsTestedForModel6AgainAtTheLaterPorts) {
    WatchingPorts watch;
    watch.ports.AttachBoard(0x278, 5);
    testing::Rig rig(&watch);
    rig.p().Form_Load();
    // The model-6 test loads register 3 with 60h (then 40h); with the model
    // still 5 after 278h, it runs against 378h and 3BCh too, which read FFh.
    for (std::uint16_t port : {0x278, 0x378, 0x3BC}) EXPECT_EQ(watch.Count(port, 0x60), 1) << std::hex << port;
    EXPECT_EQ(rig.p().regs.BoardModel, 5);
    EXPECT_EQ(rig.p().regs.PortBase, 0x278);
}

}  // namespace
}  // namespace moltrix::board
