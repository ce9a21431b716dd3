#include <gtest/gtest.h>

#include "rig.h"

namespace moltrix {
namespace {
using form::Color;
using form::kGreen;
using form::kRed;
using testing::Rig;

class Alert : public ::testing::Test {
protected:
    Rig rig;
    Programmer& p = rig.p();
    void SetUp() override {
        p.regs.InitStrobeTables();
        p.regs.PortBase = 0x378;
        p.regs.BoardModel = 6;
        p.regs.SetupPortModel();
    }
};

TEST_F(Alert, ErrorLampOnDarkensTheOtherLamps) {
    p.lamps.ProgramLampOn();
    p.lamps.DataFlowLampOn();
    EXPECT_EQ(p.form.Program_label.foreColor, kGreen);
    EXPECT_EQ(p.form.DataFlow_label.foreColor, kGreen);
    p.lamps.ErrorLampOn();
    EXPECT_EQ(p.form.Error_label.foreColor, kRed);
    EXPECT_EQ(p.form.Program_label.foreColor, Color::ButtonFace());
    EXPECT_EQ(p.form.DataFlow_label.foreColor, Color::ButtonFace());
    EXPECT_GT(rig.refresh.count, 0);  // lamps repaint at once
}

TEST_F(Alert, RaiseLocksFourButtonsAndClearRestoresTheirEarlierStates) {
    p.form.Program_button.enabled = true;
    p.form.Verify_button.enabled = false;  // disabled before: must stay disabled
    p.form.Read_button.enabled = true;
    p.form.Display_button.enabled = true;
    p.alert.RaiseErrorAlert();
    EXPECT_EQ(p.form.Error_label.foreColor, kRed);
    for (auto* b : {&p.form.Program_button, &p.form.Verify_button, &p.form.Read_button, &p.form.Display_button})
        EXPECT_FALSE(b->enabled) << b->name;

    bool litWhileShown = false;
    rig.dialogs.whileMessageShown = [&] { litWhileShown = p.lamps.ErrorLampLit(); };
    p.form.ProgressBar1.value = 42;
    p.regs.Reg0 = 0xFF;
    p.regs.Reg4 = 0x5A;
    rig.recordingPort.log.clear();
    p.alert.ShowErrorAlert();

    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_EQ(rig.dialogs.shown[0].text, "Program or Compare Error");
    EXPECT_EQ(rig.dialogs.shown[0].title, "Critical Message");
    EXPECT_EQ(rig.dialogs.shown[0].icon, platform::MsgIcon::Critical);
    EXPECT_TRUE(litWhileShown);
    EXPECT_EQ(p.form.Error_label.foreColor, Color::ButtonFace());
    EXPECT_TRUE(p.form.Program_button.enabled);
    EXPECT_FALSE(p.form.Verify_button.enabled);
    EXPECT_TRUE(p.form.Read_button.enabled);
    EXPECT_TRUE(p.form.Display_button.enabled);
    EXPECT_EQ(rig.LogMessages().back(), "Error Alert was Turned Off");
    EXPECT_EQ(p.form.ProgressBar1.value, 0);
    // The board went back to idle: register 0 rewritten as 40h.
    EXPECT_EQ(p.regs.Reg0, 0x40);
    ASSERT_FALSE(rig.recordingPort.log.empty());
    EXPECT_EQ(rig.recordingPort.log.front(), (testing::RecordingPort::Access{true, 0x378, 0x40}));
    EXPECT_EQ(p.regs.Reg4, 0x5A);
}

TEST_F(Alert, ClickOnTheLitLampClearsAndOnTheDarkLampDoesNothing) {
    p.form.Error_label.Click();
    EXPECT_TRUE(rig.LogMessages().empty());
    EXPECT_TRUE(rig.recordingPort.log.empty());

    p.form.Read_button.enabled = true;
    p.alert.RaiseErrorAlert();
    p.form.Error_label.Click();
    EXPECT_EQ(rig.LogMessages(), std::vector<std::string>{"Error Alert was Turned Off"});
    EXPECT_TRUE(p.form.Read_button.enabled);
    p.form.Error_label.Click();
    EXPECT_EQ(rig.LogMessages().size(), 1u);
}

TEST(Cues, ExactNamesPickTheirFileAndAnythingElsePlaysTheErrorSound) {
    Rig rig;
    auto dir = rig.services.paths.programDir;
    for (auto [name, file] : std::vector<std::pair<std::string, std::string>>{
             {"INIT", "init.wav"}, {"ERROR", "error.wav"}, {"DONE", "done.wav"}, {"SLIDE", "slide.wav"},
             {"OK", "ok.wav"}, {"ok", "error.wav"}, {"", "error.wav"}, {"OK ", "error.wav"}}) {
        rig.p().cues.PlayCue(name);
        EXPECT_EQ(rig.sound.played.back(), dir / file) << "cue '" << name << "'";
    }
}

TEST(Progress, StepsEveryNthCallAndStopsAtTheMaximum) {
    Rig rig;
    auto& pr = rig.p().progress;
    auto& bar = rig.p().form.ProgressBar1;
    pr.Start(3);
    std::vector<int> advancedAt;
    for (int call = 1; call <= 9; ++call) {
        double before = bar.value;
        pr.GoProgressiveBar1();
        if (bar.value != before) advancedAt.push_back(call);
    }
    EXPECT_EQ(advancedAt, (std::vector<int>{3, 6, 9}));

    bar.value = 0;
    pr.Start(20);
    for (int i = 0; i < 2048; ++i) pr.GoProgressiveBar1();  // would be 102 advances
    EXPECT_EQ(bar.value, 100);
}

TEST(Progress, StepZeroNeverAdvancesAndNeverOverflowsTheCounter) {
    Rig rig;
    auto& pr = rig.p().progress;
    pr.Start(0);
    for (int i = 0; i < 100000; ++i) pr.GoProgressiveBar1();
    EXPECT_EQ(rig.p().form.ProgressBar1.value, 0);
    EXPECT_GE(pr.ProgressCount, 0);
    // A real step afterwards still paces normally.
    pr.Start(2);
    pr.GoProgressiveBar1();
    pr.GoProgressiveBar1();
    EXPECT_EQ(rig.p().form.ProgressBar1.value, 1);
}

}  // namespace
}  // namespace moltrix
