// The presence and model test at the port, with scripted status lines: which
// codes it puts on the port and how it reads the answers.
#include <gtest/gtest.h>

#include <map>

#include "support/rig.h"

namespace moltrix::board {
namespace {

// Status answers per port, in the order the test reads them; a port without a
// script (or past its end) shows floating lines, 7Fh.
struct ScriptedPorts {
    std::map<std::uint16_t, std::deque<std::uint8_t>> answers;
    std::uint8_t Read(std::uint16_t port) {
        auto it = answers.find(static_cast<std::uint16_t>(port - 1));
        if (it == answers.end() || it->second.empty()) return 0x7F;
        auto v = it->second.front();
        it->second.pop_front();
        return v;
    }
};

// Status with bits 4-6 clear / set (a board echoing 00h and FFh).
constexpr std::uint8_t kLow = 0x0F, kHigh = 0x7F;
// Model-5/6 read-back of FFh: both nibbles all ones on bits 3-6.
constexpr std::uint8_t kNibbleF = 0x7F;
// High nibble Eh (D4 low): bit 3 clear.
constexpr std::uint8_t kNibbleE = 0x77;

class PresenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.recordingPort.readFn = [this](std::uint16_t port) { return script.Read(port); };
        p().regs.InitStrobeTables();
        p().tables.BuildStartupTables();
    }
    Programmer& p() { return rig.p(); }
    std::vector<std::uint8_t> DataWrites(std::uint16_t base) const {
        std::vector<std::uint8_t> v;
        for (const auto& a : rig.recordingPort.log)
            if (a.write && a.port == base) v.push_back(a.value);
        return v;
    }
    testing::Rig rig;
    ScriptedPorts script;
};

TEST_F(PresenceTest, PutsTheTestPatternsOnTheBoardPorts) {
    p().regs.PortBase = 0x278;
    p().detect.CheckHardware();
    using A = testing::RecordingPort::Access;
    const std::vector<A> expected = {
        // model-5/6 codes: register 3 with 9Fh, register 4 with 00h, then FFh
        {true, 0x278, 0x9F}, {true, 0x27A, 0x0E}, {true, 0x27A, 0x00}, {true, 0x278, 0x00}, {true, 0x27A, 0x06},
        {false, 0x279, 0x7F}, {true, 0x27A, 0x00}, {true, 0x278, 0xFF}, {true, 0x27A, 0x06}, {false, 0x279, 0x7F},
        // model-4 codes: register 3 with BFh, register 4 with 00h, then FFh
        {true, 0x27A, 0x09}, {true, 0x278, 0xBF}, {true, 0x27A, 0x01}, {true, 0x27A, 0x09}, {true, 0x278, 0x00},
        {true, 0x27A, 0x0F}, {true, 0x27A, 0x09}, {false, 0x279, 0x7F}, {true, 0x278, 0xFF}, {true, 0x27A, 0x0F},
        {true, 0x27A, 0x09}, {false, 0x279, 0x7F}, {true, 0x27A, 0x08}};
    EXPECT_EQ(rig.recordingPort.log, expected);
    EXPECT_EQ(rig.LogMessages(), std::vector<std::string>{"Port 278 Not Responding"});
    EXPECT_EQ(p().regs.BoardModel, 0);
}

TEST_F(PresenceTest, AnswersDecideTheModel) {
    const struct {
        const char* what;
        std::deque<std::uint8_t> answers;  // test A (2 reads), test B (2), test C (4)
        int model;
    } cases[] = {
        {"model-5/6 codes only", {kLow, kHigh, 0x7F, 0x7F, kNibbleF, kNibbleF, kNibbleF, kNibbleF}, 5},
        {"D4 low while bit 5 set", {kLow, kHigh, 0x7F, 0x7F, kNibbleF, kNibbleE, kNibbleF, kNibbleF}, 6},
        {"D4 low both times", {kLow, kHigh, 0x7F, 0x7F, kNibbleF, kNibbleE, kNibbleF, kNibbleE}, 5},
        {"model-4 codes only", {0x7F, 0x7F, kLow, kHigh}, 4},
        {"both codes: model 4 wins", {kLow, kHigh, kLow, kHigh}, 4},
        {"bits 4-6 must all follow", {0x1F, kHigh, 0x7F, 0x7F}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        p().regs.BoardModel = 0;
        p().detect.BoardPort = 0;
        script.answers = {{0x378, c.answers}};
        p().regs.PortBase = 0x378;
        p().detect.CheckHardware();
        EXPECT_EQ(p().regs.BoardModel, c.model);
        EXPECT_EQ(p().detect.BoardPort, c.model ? 0x378 : 0);
    }
}

}  // namespace
}  // namespace moltrix::board
