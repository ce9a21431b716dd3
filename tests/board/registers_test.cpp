#include <gtest/gtest.h>

#include <functional>

#include "rig.h"

namespace moltrix {
namespace {
using Access = testing::RecordingPort::Access;
using testing::Rig;

struct Codes {
    int model;
    std::uint8_t idle[5], pulse[5];
};
// What the board's control decoder answers to, written out per model.
const Codes kCodes[] = {
    {4, {0x0A, 0x02, 0x08, 0x00, 0x0E}, {0x0B, 0x03, 0x09, 0x01, 0x0F}},
    {5, {0x05, 0x0D, 0x07, 0x0F, 0x01}, {0x04, 0x0C, 0x06, 0x0E, 0x00}},
    {6, {0x05, 0x0D, 0x07, 0x0F, 0x01}, {0x04, 0x0C, 0x06, 0x0E, 0x00}},
    {0, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},  // no model known: control code 0 throughout
};

class RegisterWrite : public ::testing::TestWithParam<Codes> {};

TEST_P(RegisterWrite, DataIdlePulseIdleOnTheBoardPorts) {
    const Codes& c = GetParam();
    Rig rig;
    auto& r = rig.p().regs;
    r.InitStrobeTables();
    r.PortBase = 0x278;
    r.BoardModel = static_cast<std::int16_t>(c.model);
    r.SetupPortModel();
    EXPECT_EQ(r.PortStatus, 0x279);
    EXPECT_EQ(r.PortControl, 0x27A);
    r.StrobeDelayCount = 2;  // fastest slider setting: still four port writes
    const std::function<void()> write[5] = {[&] { r.SetReg0(); }, [&] { r.SetReg1(); }, [&] { r.SetReg2(); },
                                            [&] { r.SetReg3(); }, [&] { r.SetReg4(); }};
    std::int16_t* shadow[5] = {&r.Reg0, &r.Reg1, &r.Reg2, &r.Reg3, &r.Reg4};
    for (int n = 0; n < 5; ++n) {
        rig.recordingPort.log.clear();
        *shadow[n] = static_cast<std::int16_t>(0xA0 + n);
        const long long spun = rig.clock.spunPasses;
        write[n]();
        EXPECT_EQ(rig.clock.spunPasses - spun, 2 * r.StrobeDelayCount) << "the strobe delays are busy waits of the clock";
        std::vector<Access> expected = {{true, 0x278, static_cast<std::uint8_t>(0xA0 + n)},
                                        {true, 0x27A, c.idle[n]},
                                        {true, 0x27A, c.pulse[n]},
                                        {true, 0x27A, c.idle[n]}};
        EXPECT_EQ(rig.recordingPort.log, expected) << "model " << c.model << " register " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Models, RegisterWrite, ::testing::ValuesIn(kCodes));

TEST(Registers, UnknownModelKeepsTheCodesItHad) {
    Rig rig;
    auto& r = rig.p().regs;
    r.InitStrobeTables();
    r.BoardModel = 4;
    r.SetupPortModel();
    r.BoardModel = 7;
    r.PortBase = 0x3BC;
    r.SetupPortModel();
    EXPECT_EQ(r.PortControl, 0x3BE);
    EXPECT_EQ(r.StrobeIdle[0], 0x0A);
    EXPECT_EQ(r.NibbleSelHigh, 0x04);
}

TEST(Registers, ResetWritesTheIdleStateAndLeavesRegisterFourAlone) {
    Rig rig;
    auto& p = rig.p();
    auto& r = p.regs;
    r.InitStrobeTables();
    r.PortBase = 0x378;
    r.BoardModel = 5;
    r.SetupPortModel();
    p.addr.Reg1Extra = 0xC0;
    p.addr.Reg3Extra = 2;
    p.addr.Address = 0x12345;
    r.Reg4 = 0x5A;
    r.EraseMode = 1;
    p.form.ProgressBar1.max = 50;
    p.form.ProgressBar1.value = 30;
    rig.recordingPort.log.clear();
    r.Reset();

    std::vector<Access> expected;
    for (auto [reg, value] : std::vector<std::pair<int, int>>{{0, 0x40}, {1, 0xC0}, {2, 0x00}, {3, 0xC6}}) {
        const Codes& c = kCodes[1];
        expected.push_back({true, 0x378, static_cast<std::uint8_t>(value)});
        expected.push_back({true, 0x37A, c.idle[reg]});
        expected.push_back({true, 0x37A, c.pulse[reg]});
        expected.push_back({true, 0x37A, c.idle[reg]});
    }
    EXPECT_EQ(rig.recordingPort.log, expected);
    EXPECT_EQ(r.Reg4, 0x5A);
    EXPECT_EQ(p.addr.Address, 0);
    EXPECT_EQ(p.addr.AdrHigh, 0);
    EXPECT_EQ(r.EraseMode, 0);
    EXPECT_EQ(p.form.ProgressBar1.max, 100);
    EXPECT_EQ(p.form.ProgressBar1.value, 0);
}

TEST(Registers, FixedBitOperations) {
    Rig rig;
    auto& p = rig.p();
    auto& r = p.regs;
    r.Reg3 = 0x85;
    r.REG4OFF();
    EXPECT_EQ(r.Reg3, 0xC5);
    r.REG4ON();
    EXPECT_EQ(r.Reg3, 0x85);  // back as it was, bit 6 having been clear

    r.Reg0 = 0x05;
    r.VPP24_ON();
    EXPECT_EQ(r.Reg0, 0xC5);
    p.addr.OEON();
    EXPECT_EQ(r.Reg0, 0x05);  // OE active also takes the programming voltage off
    p.addr.OEOFF();
    EXPECT_EQ(r.Reg0, 0x45);  // OE inactive leaves bit 7 alone
    r.VPP24_ON();
    r.VPP24_OFF();
    EXPECT_EQ(r.Reg0, 0x05);

    r.LedOn();
    EXPECT_EQ(r.Reg0, 0x0D);
    r.LedOff();
    EXPECT_EQ(r.Reg0, 0x05);
}

TEST(Registers, BlinkTogglesTheScreenLampAndTheBoardLed) {
    Rig rig;
    auto& p = rig.p();
    p.regs.Reg0 = 0x40;
    p.regs.BlinkProgramLamp();
    EXPECT_EQ(p.form.Program_label.foreColor, form::kGreen);
    EXPECT_EQ(p.regs.Reg0, 0x48);
    EXPECT_EQ(rig.recordingPort.Writes().front().value, 0x48);
    p.regs.BlinkProgramLamp();
    EXPECT_EQ(p.form.Program_label.foreColor, form::Color::ButtonFace());
    EXPECT_EQ(p.regs.Reg0, 0x40);
}

}  // namespace
}  // namespace moltrix
