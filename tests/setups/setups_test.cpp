// Saving setups from the controls and restoring them through the controls'
// own handlers, on a whole core.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "setups/setups.h"
#include "support/rig.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;

constexpr int kEprom27C256 = 11;

class SetupsTest : public ::testing::Test {
protected:
    SetupsTest() { p.Form_Load(); }

    fs::path Work(const std::string& name) const { return rig.services.paths.workDir / name; }
    std::string ReadText(const std::string& name) const { return testing::FileText(Work(name)); }
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(Work(name), std::ios::binary) << text;
    }
    void Save(int slot, const std::string& name) {
        rig.dialogs.inputAnswers.push_back(name);
        p.setups.SaveSetupRot(setups::SlotFileName(slot));
    }
    bool Logged(const std::string& line) const {
        auto m = rig.LogMessages();
        return std::find(m.begin(), m.end(), line) != m.end();
    }
    std::vector<std::string> LogSince(std::size_t from) const {
        auto m = rig.LogMessages();
        return {m.begin() + static_cast<std::ptrdiff_t>(std::min(from, m.size())), m.end()};
    }

    // Every control a setup records.
    struct Controls {
        int device;
        std::array<bool, 4> voltage;
        int blank, verify;
        std::array<bool, 3> lpt;
        std::string port;
        std::array<bool, 3> hiLow;
        int slider, code, data;
        bool operator==(const Controls&) const = default;
    };
    Controls Read() {
        auto& f = p.form;
        return {f.Device.listIndex,
                {f.Voltage_button.Value(0), f.Voltage_button.Value(1), f.Voltage_button.Value(2),
                 f.Voltage_button.Value(3)},
                f.CheckBlankPriorProgramming.value, f.VerifyAfterProgramming.value,
                {f.LPTSelection.Value(0), f.LPTSelection.Value(1), f.LPTSelection.Value(2)},
                f.PortSelected.text,
                {f.HiLow_button.Value(0), f.HiLow_button.Value(1), f.HiLow_button.Value(2)},
                f.Slider1.value, f.CheckCode.value, f.CheckData.value};
    }

    Rig rig;
    Programmer& p = rig.p();
    form::MainForm& f = p.form;
};

TEST_F(SetupsTest, EmptyNameSavesAsNoNameSetupOfTheSlot) {
    Save(2, "");
    const auto& asked = rig.dialogs.shown.back();
    EXPECT_EQ(asked.kind, "input");
    EXPECT_EQ(asked.text, "Please input a NAME for this Setup");
    EXPECT_EQ(asked.title, "Saving Name Input");
    std::string text = ReadText("MXSetup2.INI");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "SetupName = No Name Setup 2");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 19);
    EXPECT_EQ(rig.LogMessages().back(), "Setup Saved as MXSetup2.INI, named:No Name Setup 2");

    f.Setup.Click();
    EXPECT_TRUE(f.LoadSetup2.enabled);
    EXPECT_EQ(f.LoadSetup2.caption, "No Name Setup 2");
    for (auto* m : {&f.LoadSetup1, &f.LoadSetup3, &f.LoadSetup4}) {
        EXPECT_FALSE(m->enabled) << m->name;
        EXPECT_EQ(m->caption.rfind("Load Setup #&", 0), 0u) << m->caption;
    }
}

TEST_F(SetupsTest, SetupMenuFollowsTheFilesOnDisk) {
    Save(1, "Bench");
    WriteText("MXSetup3.INI", "no name line\r\nCheckCode.Value = 1\r\n");
    f.Setup.Click();
    EXPECT_EQ(f.LoadSetup1.caption, "Bench");
    EXPECT_TRUE(f.LoadSetup3.enabled);
    EXPECT_EQ(f.LoadSetup3.caption, "");  // nothing after the first twelve characters
    fs::remove(Work("MXSetup1.INI"));
    f.Setup.Click();
    EXPECT_FALSE(f.LoadSetup1.enabled);
    EXPECT_EQ(f.LoadSetup1.caption, "Bench");  // a disabled entry keeps its caption
    EXPECT_EQ(f.SaveSetup1.caption, "Save Setup #&1");
}

TEST_F(SetupsTest, RoundTripGivesBackEveryRecordedControl) {
    f.Device.SetListIndex(kEprom27C256);
    ASSERT_EQ(p.selection.DeviceType, "P4");
    f.Voltage_button.SetValue(2, true);  // not what the device proposes
    f.CheckBlankPriorProgramming.SetValue(1);
    f.VerifyAfterProgramming.SetValue(0);
    f.LPTSelection.SetValue(1, true);
    f.PortSelected.SetText("278h");
    f.HiLow_button.SetValue(2, true);
    f.Slider1.SetValue(7);
    f.CheckCode.SetValue(0);
    f.CheckData.SetValue(1);
    const Controls saved = Read();
    Save(1, "Bench");

    // Move everything elsewhere.
    f.Device.SetListIndex(kEprom27C256 - 1);
    f.Voltage_button.SetValue(0, true);
    f.CheckBlankPriorProgramming.SetValue(0);
    f.VerifyAfterProgramming.SetValue(1);
    f.LPTSelection.SetValue(0, true);
    f.HiLow_button.SetValue(0, true);
    f.Slider1.SetValue(15);
    f.CheckCode.SetValue(1);
    f.CheckData.SetValue(0);
    f.FrameVoltageSelection.visible = f.Frame5.visible = false;
    ASSERT_NE(Read(), saved);

    const auto before = rig.LogMessages().size();
    f.LoadSetup1.enabled = true;
    f.LoadSetup1.Click();
    EXPECT_EQ(Read(), saved);
    EXPECT_EQ(p.selection.DeviceType, "P4");
    EXPECT_EQ(p.regs.PortBase, 0x278);  // the port handler ran
    EXPECT_TRUE(f.FrameVoltageSelection.visible && f.Frame5.visible);
    EXPECT_EQ(f.Frame5.caption, "Optional Auto Operations");
    // No code file: the label is empty and nothing is loaded.
    EXPECT_EQ(f.FileNameCodeText.caption, "");
    EXPECT_EQ(p.buffers.CodeLoaded, 0);

    auto log = LogSince(before);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], ">>>>>>>>>>>>");
    EXPECT_EQ(log[1], "RESTORING SETUP FROM MXSetup1.INI");
    EXPECT_EQ(log[log.size() - 2], "SETUP RESTORED FROM MXSetup1.INI");
    EXPECT_EQ(log.back(), ">>>>>>>>>>>>");
    EXPECT_TRUE(std::find(log.begin(), log.end(), "Port Selection changed to 278h") != log.end());
    for (const auto& l : log) EXPECT_EQ(l.find("skipped"), std::string::npos) << l;
}

TEST_F(SetupsTest, CodeFileIsReloadedAndSetsTheBufferBoxesAgain) {
    std::ofstream(Work("image.bin"), std::ios::binary) << "\x01\x02\x03";
    const std::string image = Work("image.bin").string();
    rig.dialogs.fileAnswers.push_back(image);
    p.buffers.mnuFileOpenCode_Click();
    f.CheckCode.SetValue(0);
    f.CheckData.SetValue(1);
    Save(3, "With file");
    EXPECT_NE(ReadText("MXSetup3.INI").find("sFILE = " + image + "\r\n"), std::string::npos);
    EXPECT_NE(ReadText("MXSetup3.INI").find("CheckCode.Value = 0\r\nCheckData.Value = 1\r\n"), std::string::npos);

    p.buffers.CodeBuffer[1] = 0xEE;
    p.buffers.CodeSize = 32768;
    p.setups.LoadSetup3_Click();
    EXPECT_EQ(p.buffers.CodeBuffer[1], 0x02);
    EXPECT_EQ(p.buffers.CodeSize, 3);
    EXPECT_EQ(p.buffers.CodeFileName, image);
    EXPECT_EQ(f.CheckCode.value, 1);
    EXPECT_EQ(f.CheckData.value, 0);
    auto log = rig.LogMessages();
    EXPECT_EQ(log[log.size() - 3], "You can Install a Blank Eprom for Programming");
    EXPECT_EQ(log[log.size() - 2], "SETUP RESTORED FROM MXSetup3.INI");
}

TEST_F(SetupsTest, MissingCodeFileLeavesNameAndBufferAndFinishesTheRestore) {
    WriteText("MXSetup4.INI", "SetupName = Gone\r\nsFILE = /nowhere/gone.bin\r\nSlider1.Value = 3\r\n");
    p.buffers.CodeBuffer[0] = 0x5A;
    f.FileNameCodeText.caption = "Click To Select a File";
    p.setups.LoadSetup4_Click();
    EXPECT_EQ(f.Slider1.value, 3);
    EXPECT_EQ(p.buffers.CodeFileName, "");
    EXPECT_EQ(f.FileNameCodeText.caption, "Click To Select a File");
    EXPECT_EQ(p.buffers.CodeBuffer[0], 0x5A);
    EXPECT_TRUE(Logged("File /nowhere/gone.bin - was not read: file not found"));
    EXPECT_EQ(rig.dialogs.shown.back().title, "File Not Read");
    EXPECT_TRUE(Logged("SETUP RESTORED FROM MXSetup4.INI"));
}

TEST_F(SetupsTest, DamagedFileSkipsBadLinesAndRestoresTheRest) {
    WriteText("MXSetup2.INI",
              "SetupName = Damaged\r\n"                      // 1
              "Device.Index = 999\r\n"                       // 2: no such device
              "garbage\r\n"                                  // 3: ignored, no key
              "Voltage_button(2).value = Yes\r\n"            // 4: not a truth value
              "CheckBlankPriorProgramming.Value = 7\r\n"     // 5: not a box state
              "checkcode.value = 0\r\n"                      // 6: wrong case, ignored
              "Slider1.Value = fast\r\n"                     // 7: not a number
              "Slider1.Value = 99\r\n"                       // 8: beyond the slider
              "HiLow_button(1).Value = True\r\n"             // 9
              "VerifyAfterProgramming.Value = 1\r\n"         // 10
              "PortSelected.Text = 3BCh\r\n");               // 11
    const Controls before = Read();
    p.setups.RestoreSetup("MXSetup2.INI");
    const Controls after = Read();

    EXPECT_TRUE(after.hiLow[1]);
    EXPECT_EQ(after.verify, 1);
    EXPECT_EQ(after.port, "3BCh");
    EXPECT_EQ(after.device, before.device);
    EXPECT_EQ(after.voltage, before.voltage);
    EXPECT_EQ(after.blank, before.blank);
    EXPECT_EQ(after.slider, before.slider);
    EXPECT_EQ(after.code, before.code);
    for (const char* line : {"Setup line 2 skipped, not a usable value: Device.Index = 999",
                             "Setup line 4 skipped, not a usable value: Voltage_button(2).value = Yes",
                             "Setup line 5 skipped, not a usable value: CheckBlankPriorProgramming.Value = 7",
                             "Setup line 7 skipped, not a usable value: Slider1.Value = fast",
                             "Setup line 8 skipped, not a usable value: Slider1.Value = 99"})
        EXPECT_TRUE(Logged(line)) << line;
    int skipped = 0;
    for (const auto& l : rig.LogMessages()) skipped += l.find("skipped") != std::string::npos ? 1 : 0;
    EXPECT_EQ(skipped, 5);
    EXPECT_TRUE(Logged("SETUP RESTORED FROM MXSetup2.INI"));
}

TEST_F(SetupsTest, UnreadableSetupIsReportedAndChangesNothing) {
    const Controls before = Read();
    p.setups.RestoreSetup("MXSetup1.INI");
    EXPECT_EQ(Read(), before);
    EXPECT_TRUE(Logged("Setup file MXSetup1.INI could not be read: file not found"));
    EXPECT_FALSE(Logged("SETUP RESTORED FROM MXSetup1.INI"));
    EXPECT_EQ(rig.dialogs.shown.back().title, "Setup Not Restored");
    EXPECT_FALSE(f.FrameVoltageSelection.visible);

    // A file far larger than any setup is not read into memory, nor offered in the menu.
    std::ofstream(Work("MXSetup1.INI"), std::ios::binary) << "SetupName = Huge\r\n";
    fs::resize_file(Work("MXSetup1.INI"), std::uintmax_t{4} << 30);
    p.setups.RestoreSetup("MXSetup1.INI");
    EXPECT_EQ(Read(), before);
    EXPECT_TRUE(Logged("Setup file MXSetup1.INI could not be read: the file is 4294967296 bytes long, far more "
                       "than such a file holds"));
    f.Setup.Click();
    EXPECT_FALSE(f.LoadSetup1.enabled);
}

TEST_F(SetupsTest, FailedSaveIsReportedAndNotLoggedAsSaved) {
    fs::create_directory(Work("MXSetup4.INI"));
    Save(4, "X");
    EXPECT_TRUE(fs::is_directory(Work("MXSetup4.INI")));
    EXPECT_EQ(rig.LogMessages().back().rfind("Setup MXSetup4.INI was not saved: ", 0), 0u);
    EXPECT_EQ(rig.dialogs.shown.back().title, "Setup Not Saved");
    EXPECT_FALSE(Logged("Setup Saved as MXSetup4.INI, named:X"));
}

}  // namespace
}  // namespace moltrix::testing
