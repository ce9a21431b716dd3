#include <gtest/gtest.h>

#include "rig.h"
#include "shell/geometry.h"

namespace moltrix {
namespace {
using form::Color;
using testing::Rig;

const std::string kKey = "MOLTRIX6/Settings/";

TEST(Geometry, FirstRunUsesTheDefaults) {
    Rig rig;
    rig.p().Form_Load();
    const auto& g = rig.p().form.geometry;
    EXPECT_EQ(g.left, 100);
    EXPECT_EQ(g.top, 100);
    EXPECT_EQ(g.width, 100);
    EXPECT_EQ(g.height, 6500);
}

TEST(Geometry, StoredOnCloseAndReadBackOnTheNextStart) {
    testing::MemorySettings shared;
    {
        Rig rig;
        rig.p().Form_Load();
        rig.p().form.geometry = {1515, 2040.5, 10800, 7500, form::WindowState::Maximized};
        rig.p().Form_Unload();
        shared = rig.settings;
    }
    EXPECT_EQ(shared.values[kKey + "MainLeft"], "1515");
    EXPECT_EQ(shared.values[kKey + "MainTop"], "2040.5");
    Rig next;
    next.settings = shared;
    next.p().Form_Load();
    const auto& g = next.p().form.geometry;
    EXPECT_EQ(g.left, 1515);
    EXPECT_EQ(g.top, 2040.5);
    EXPECT_EQ(g.width, 10800);
    EXPECT_EQ(g.height, 7500);
}

TEST(Geometry, ClosingWhileMinimisedStoresNothing) {
    Rig rig;
    rig.settings.values[kKey + "MainLeft"] = "300";
    rig.p().Form_Load();
    rig.p().form.geometry = {-32000, -32000, 2000, 500, form::WindowState::Minimized};
    bool othersClosed = false;
    rig.p().closeOtherWindows = [&] { othersClosed = true; };
    rig.p().Form_Unload();
    EXPECT_TRUE(othersClosed);
    EXPECT_EQ(rig.settings.values.size(), 1u);
    EXPECT_EQ(rig.settings.values[kKey + "MainLeft"], "300");
}

TEST(Geometry, AValueThatIsNotANumberGivesItsDefault) {
    Rig rig;
    rig.settings.values[kKey + "MainLeft"] = "abc";
    rig.settings.values[kKey + "MainTop"] = " 250 ";
    rig.settings.values[kKey + "MainWidth"] = "12x";
    rig.settings.values[kKey + "MainHeight"] = "";
    rig.p().Form_Load();
    const auto& g = rig.p().form.geometry;
    EXPECT_EQ(g.left, 100);
    EXPECT_EQ(g.top, 250);
    EXPECT_EQ(g.width, 100);
    EXPECT_EQ(g.height, 6500);
    EXPECT_EQ(SingleText(0.1), "0.1");
    EXPECT_EQ(SingleText(300000), "300000");  // decimal text, never an exponent
    EXPECT_EQ(SingleText(-1500), "-1500");
}

TEST(FormLoad, LeavesAnEmptyLogDarkLampsAndNoBoardShown) {
    Rig rig;
    auto& p = rig.p();
    p.lamps.ErrorLampOn();
    p.log.AddLogLine("before");
    p.Form_Load();
    EXPECT_EQ(p.form.SystemLog.text, "");
    EXPECT_EQ(p.form.Error_label.foreColor, Color::ButtonFace());
    EXPECT_EQ(p.form.Program_label.foreColor, Color::ButtonFace());
    EXPECT_EQ(p.form.DataFlow_label.foreColor, Color::ButtonFace());
    EXPECT_EQ(p.form.Ready_label.caption, "NotReady");
    EXPECT_EQ(p.form.Ready_label.foreColor, form::kRed);
    EXPECT_EQ(p.form.PortSelected.text, "None");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(p.form.LPTSelection.Value(i));
    EXPECT_EQ(p.form.Frame3.rect.top, 72);
    EXPECT_EQ(p.form.Frame3.rect.width, 481);
    EXPECT_EQ(p.form.Frame3.rect.height, 257);
    EXPECT_EQ(p.form.VScroll1.max, 0);
    EXPECT_STREQ(p.CrLf, "\r\n");
    EXPECT_TRUE(p.form.TestHardware_button.enabled);
    ASSERT_FALSE(rig.sound.played.empty());
    EXPECT_EQ(rig.sound.played.back().filename(), "init.wav");
    EXPECT_EQ(p.form.title, "MOLTRIX-6 Eprom Programmer - Varnok - www.varnok.example (Version 1.0.67)");
}

TEST(FormLoad, EndsWithTheBoardInItsIdleState) {
    Rig rig;
    auto& p = rig.p();
    p.Form_Load();
    EXPECT_EQ(p.regs.Reg0, 0x40);
    EXPECT_EQ(p.regs.Reg3 & 0xC4, 0xC4);
    EXPECT_EQ(p.regs.SettleFactor, 5);
    EXPECT_EQ(p.regs.PulseFactor, 100);
    EXPECT_EQ(p.regs.LongFactor, 500);
}

}  // namespace
}  // namespace moltrix
