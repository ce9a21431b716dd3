// Whole start-ups on a simulated bench, built from the same one-line set-up text
// the program's bench mode takes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "rig.h"
#include "sim/bench_setup.h"

namespace moltrix {
namespace {
using testing::Rig;

struct Bench {
    explicit Bench(const std::string& setupText) {
        if (setupText.empty()) return;  // three ports, no board anywhere
        auto setup = sim::ParseBenchSetup(setupText);
        EXPECT_TRUE(setup.ok()) << setup.error;
        EXPECT_EQ(sim::ApplyBenchSetup(setup, ports), "");
    }
    sim::SimulatedPorts ports;
};

TEST(StartupOnBench, FirstStartFindsTheBoardRemembersItAndShowsAnEmptyLog) {
    struct Case {
        const char* setup;
        int model;
        const char* caption;
        const char* portText;
        int option;
        const char* iniPort;
    };
    for (const Case& c : {Case{"6@378:27C256", 6, "MODEL 6 - PC port 378h", "378h", 0, "IO_PORT = 378"},
                          Case{"5@278:AM29F040", 5, "MODEL 5 - PC port 278h", "278h", 1, "IO_PORT = 278"},
                          Case{"4@3BC:24C16", 4, "MODEL 4 - PC port 3BCh", "3BCh", 2, "IO_PORT = 3BC"}}) {
        SCOPED_TRACE(c.setup);
        Bench bench(c.setup);
        Rig rig(&bench.ports);
        auto& p = rig.p();
        p.Form_Load();
        EXPECT_EQ(p.form.SystemLog.text, "");
        EXPECT_EQ(p.regs.BoardModel, c.model);
        EXPECT_EQ(p.form.MoltrixHardwareFound.caption, c.caption);
        EXPECT_EQ(p.form.Ready_label.caption, "Ready");
        EXPECT_EQ(p.form.Ready_label.foreColor, form::kGreen);
        EXPECT_EQ(p.form.PortSelected.text, c.portText);
        EXPECT_TRUE(p.form.LPTSelection.Value(c.option));
        std::string ini = testing::FileText(rig.services.paths.programDir / "moltrix6.ini");
        EXPECT_EQ(ini.rfind("[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\n", 0), 0u) << ini;
        EXPECT_NE(ini.find(std::string("\r\n") + c.iniPort + "\r\n"), std::string::npos) << ini;
        EXPECT_NE(ini.find("\r\nMODEL =  " + std::to_string(c.model) + " \r\n"), std::string::npos) << ini;
        // The board ends start-up idle: CE off, register 4 released, OE off.
        auto* board = bench.ports.BoardAt(static_cast<std::uint16_t>(p.regs.PortBase));
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(board->Register(3) & 0xC0, 0xC0);
        EXPECT_EQ(board->Register(0), 0x40);
        EXPECT_EQ(board->counters().contention_events, 0u);
    }
}

TEST(StartupOnBench, ASecondStartAdoptsTheSetupFileWithoutProbing) {
    Bench bench("6@278:27C512");
    std::string ini;
    {
        Rig first(&bench.ports);
        first.p().Form_Load();
        ini = testing::FileText(first.services.paths.programDir / "moltrix6.ini");
    }
    Rig second(&bench.ports);
    {
        std::ofstream(second.services.paths.programDir / "moltrix6.ini", std::ios::binary) << ini;
    }
    auto readsBefore = bench.ports.PortReads();
    second.p().Form_Load();
    EXPECT_EQ(bench.ports.PortReads(), readsBefore);  // no status line was looked at
    EXPECT_EQ(second.p().regs.BoardModel, 6);
    EXPECT_EQ(second.p().regs.PortBase, 0x278);
    EXPECT_EQ(second.p().form.MoltrixHardwareFound.caption, "MODEL 6 - PC port 278h");
}

TEST(StartupOnBench, TestPortAfterStartLogsTheProbeInOrder) {
    Bench bench("5@278");
    Rig rig(&bench.ports);
    auto& p = rig.p();
    p.Form_Load();
    p.form.TestHardware_button.Click();
    EXPECT_EQ(rig.LogMessages(), (std::vector<std::string>{"Port 378 Not Responding", "Port 3BC Not Responding",
                                                           "Port Selection changed to 278h",
                                                           "MOLTRIX-5 Device was FOUND at Port: 278"}));
    EXPECT_EQ(p.regs.BoardModel, 5);
}

TEST(StartupOnBench, NoBoardAnywhere) {
    Bench bench("");
    Rig rig(&bench.ports);
    auto& p = rig.p();
    p.Form_Load();
    EXPECT_EQ(p.form.MoltrixHardwareFound.caption, "NO HARDWARE FOUND");
    EXPECT_EQ(p.form.Ready_label.caption, "NotReady");
    EXPECT_EQ(p.regs.PortBase, 0);
    EXPECT_FALSE(std::filesystem::exists(rig.services.paths.programDir / "moltrix6.ini"));
    p.form.menuTestHardware.Click();
    EXPECT_EQ(rig.LogMessages(),
              (std::vector<std::string>{"Port 278 Not Responding", "Port 378 Not Responding",
                                        "Port 3BC Not Responding", "Can't Locate Moltrix Board at Any LPT port.",
                                        "Moltrix should be connected to a LPT port, with power and socket empty."}));
}

}  // namespace
}  // namespace moltrix
