// Choosing a device: what every supported row sets, and what refused items,
// the voltage options and the speed slider do.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace moltrix::devices {
namespace {

struct Case {
    int row;
    const char* name;
    const char* type;
    int bytes;
    int settle, pulse, longF;
    const char* voltages;  // enabled voltage options, "5V" or e.g. "12.5 21 25"
    bool blankCheck, eraseChip, linesRestActive;
    enum { Identity, Flash29F, Xicor } maps;
};

constexpr const char* k12 = "12.5";
constexpr const char* k12_21 = "12.5 21";
constexpr const char* k12_25 = "12.5 21 25";

constexpr Case kSupported[] = {
    {2, "Eprom 2732A", "P1", 4096, 50, 20000, 100000, k12_25, true, false, false, Case::Identity},
    {3, "Eprom 2732B", "P1", 4096, 50, 20000, 100000, k12, true, false, false, Case::Identity},
    {4, "Eprom 2732", "P1", 4096, 50, 20000, 100000, k12_25, true, false, false, Case::Identity},
    {5, "Eprom 27C32", "P1", 4096, 50, 20000, 100000, k12_25, true, false, false, Case::Identity},
    {6, "Eprom 2764", "P2", 8192, 50, 20000, 100000, k12_25, true, false, false, Case::Identity},
    {7, "Eprom 27C64", "P2", 8192, 50, 20000, 100000, k12, true, false, false, Case::Identity},
    {8, "Eprom 27128", "P3", 16384, 50, 20000, 100000, k12_25, true, false, false, Case::Identity},  // NMOS: long pulses
    {9, "Eprom 27C128", "P3", 16384, 5, 100, 500, k12, true, false, false, Case::Identity},
    {10, "Eprom 27256", "P4", 32768, 5, 100, 500, k12_25, true, false, false, Case::Identity},
    {11, "Eprom 27C256", "P4", 32768, 5, 100, 500, k12, true, false, false, Case::Identity},
    {12, "Eprom 27C259", "P4", 32768, 5, 100, 500, k12, true, false, false, Case::Identity},
    {13, "Eprom 27C512", "P5", 65536, 5, 100, 500, k12, true, false, false, Case::Identity},
    {14, "Eprom 27C1001", "P6", 131072, 5, 100, 500, k12, true, false, false, Case::Identity},
    {15, "Eprom 27C010", "P6", 131072, 5, 100, 500, k12, true, false, false, Case::Identity},
    {16, "Eprom 27C2001", "P7", 262144, 5, 100, 500, k12, true, false, false, Case::Identity},
    {17, "Eprom 27C020", "P7", 262144, 5, 100, 500, k12, true, false, false, Case::Identity},
    {18, "Eprom 27C4001", "P8", 524288, 5, 100, 500, k12, true, false, false, Case::Identity},
    {19, "Eprom 27C040", "P8", 524288, 5, 100, 500, k12, true, false, false, Case::Identity},
    {20, "Eprom 27C801", "P9", 1048576, 2, 50, 250, k12, true, false, false, Case::Identity},
    {21, "Eprom 27C080", "P9", 1048576, 2, 50, 250, k12, true, false, false, Case::Identity},
    {23, "Flash Atmel AT29C256", "FA", 32768, 5, 100, 500, "5V", true, true, false, Case::Identity},
    {25, "Flash AMD AM29F010", "FS", 131072, 5, 100, 500, "5V", true, true, false, Case::Flash29F},
    {26, "Flash AMD AM29F020", "FR", 262144, 5, 100, 500, "5V", true, true, false, Case::Flash29F},
    {27, "Flash AMD AM29F040", "FM", 524288, 5, 100, 500, "5V", true, true, false, Case::Flash29F},
    {33, "Eeprom XICOR X28C256", "EN", 32768, 5, 100, 500, "5V", true, false, false, Case::Xicor},
    {36, "Eeprom 24C08 Serial (8 pins)", "SA", 1024, 5, 100, 500, "5V", false, true, true, Case::Identity},
    {37, "Eeprom 24C16 Serial (8 pins)", "SB", 2048, 5, 100, 500, "5V", false, true, true, Case::Identity},
    {38, "Eeprom 24C32 Serial (8 pins)", "SC", 4096, 5, 100, 500, "5V", false, true, true, Case::Identity},
};

std::string EnabledVoltages(form::MainForm& f) {
    static const char* const kNames[] = {"5V", "12.5", "21", "25"};
    std::string s;
    for (int i = 0; i < 4; ++i)
        if (f.Voltage_button[i].enabled) s += (s.empty() ? "" : " ") + std::string(kNames[i]);
    return s;
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        p().Form_Load();
        rig.sound.played.clear();
    }
    Programmer& p() { return rig.p(); }
    void Select(int row) { p().form.Device.SetListIndex(row); }
    testing::Rig rig;
};

TEST_F(SelectionTest, EverySupportedRowSetsItsDeviceAndControls) {
    for (const Case& c : kSupported) {
        SCOPED_TRACE(c.name);
        testing::Rig fresh;
        Programmer& q = fresh.p();
        q.Form_Load();
        fresh.sound.played.clear();
        q.form.Device.SetListIndex(c.row);
        auto& f = q.form;
        auto& sel = q.selection;

        EXPECT_EQ(sel.DeviceName, c.name);
        EXPECT_EQ(sel.DeviceType, c.type);
        EXPECT_EQ(sel.DeviceSize, c.bytes);
        EXPECT_EQ(q.buffers.CodeSize, c.bytes);
        EXPECT_EQ(f.VScroll1.max, c.bytes / 256 - 1);
        EXPECT_EQ(q.regs.SettleFactor, c.settle);
        EXPECT_EQ(q.regs.PulseFactor, c.pulse);
        EXPECT_EQ(q.regs.LongFactor, c.longF);

        for (int i = 0; i < 256; ++i) {
            int mid = c.maps == Case::Xicor && i >= 64 && i <= 127 ? i + 64 : i;
            int high = c.maps == Case::Flash29F && i >= 4 && i <= 7 ? i + 4 : i;
            ASSERT_EQ(q.addr.AdrMapMid[static_cast<std::size_t>(i)], mid) << "mid " << i;
            ASSERT_EQ(q.addr.AdrMapHigh[static_cast<std::size_t>(i)], high) << "high " << i;
        }

        const bool eprom = c.type[0] == 'P';
        EXPECT_EQ(EnabledVoltages(f), c.voltages);
        EXPECT_TRUE(f.Voltage_button.Value(eprom ? 1 : 0));
        EXPECT_EQ(sel.VppVolts, eprom ? 12 : 0);

        // CE is register-3 bit 7 and OE register-0 bit 6, both active low.
        EXPECT_EQ((q.regs.Reg3 & 0x80) == 0, c.linesRestActive);
        EXPECT_EQ((q.regs.Reg0 & 0x40) == 0, c.linesRestActive);

        EXPECT_TRUE(f.Read_button.enabled && f.menuReadCode.enabled);
        EXPECT_TRUE(f.Display_button.enabled && f.menuDisplayCode.enabled);
        EXPECT_EQ(f.Blank_button.enabled, c.blankCheck);
        EXPECT_EQ(f.menuBlankCheck.enabled, c.blankCheck);
        EXPECT_EQ(f.EraseFlash_button.enabled, c.eraseChip);
        EXPECT_EQ(f.menuEraseFlash.enabled, c.eraseChip);
        EXPECT_EQ(f.menuFlashShowCodeID.enabled, c.eraseChip);
        EXPECT_FALSE(f.Program_button.enabled || f.Verify_button.enabled || f.Erase_button.enabled);
        EXPECT_TRUE(f.Show_button.enabled);
        EXPECT_EQ(f.Show_button.caption, "Show Code");
        EXPECT_EQ(f.CheckCode.value, 1);
        EXPECT_EQ(f.CheckData.value, 0);
        EXPECT_FALSE(f.CheckCode.enabled || f.CheckData.enabled);
        EXPECT_FALSE(f.PleaseSelect.visible);
        EXPECT_TRUE(f.Frame5.visible && f.FrameVoltageSelection.visible);
        EXPECT_TRUE(f.CheckBlankPriorProgramming.visible && f.VerifyAfterProgramming.visible);
        EXPECT_EQ(f.Frame3.caption, "Code Buffer Hex/Ascii Display");

        std::vector<std::string> lines;
        if (eprom) lines.push_back("Most Common Programming Voltage Selected: 12.5 Volts!!!");
        lines.push_back(std::string("Device ") + c.name + " was Selected");
        lines.push_back("Device Size is: " + std::to_string(c.bytes) +
                        " Bytes, Initial VPP suggested: " + (eprom ? "12.5V" : "5V"));
        EXPECT_EQ(fresh.LogMessages(), lines);
        ASSERT_EQ(fresh.sound.played.size(), 1u);
        EXPECT_EQ(fresh.sound.played[0].filename(), "done.wav");
    }
}

TEST_F(SelectionTest, RefusedItemsChangeNothingButTheListText) {
    Select(11);  // Eprom 27C256
    const auto regsBefore = std::vector<int>{p().regs.Reg0, p().regs.Reg1, p().regs.Reg2, p().regs.Reg3};
    const std::string logBefore = p().form.SystemLog.text;
    const auto writesBefore = rig.recordingPort.log.size();
    for (int row : {0, 1, 22, 24, 28, 29, 30, 31, 32, 34, 35, 39, 40}) {
        SCOPED_TRACE(row);
        Select(row);
        EXPECT_EQ(p().form.Device.listIndex, -1);
        EXPECT_EQ(p().form.Device.text, "Please Select Device on this List");
        EXPECT_EQ(p().selection.DeviceName, "Eprom 27C256");
        EXPECT_EQ(p().selection.DeviceType, "P4");
        EXPECT_EQ(p().buffers.CodeSize, 32768);
        EXPECT_TRUE(p().form.Voltage_button.Value(1));
        EXPECT_TRUE(p().form.Read_button.enabled);
        EXPECT_FALSE(p().form.EraseFlash_button.enabled);
    }
    EXPECT_EQ(p().form.SystemLog.text, logBefore);
    EXPECT_EQ(rig.recordingPort.log.size(), writesBefore);
    EXPECT_EQ((std::vector<int>{p().regs.Reg0, p().regs.Reg1, p().regs.Reg2, p().regs.Reg3}), regsBefore);
}

TEST_F(SelectionTest, RefusedItemBeforeAnySelectionLeavesControlsAsAtStartUp) {
    Select(40);
    p().form.Device.SetListIndex(-1);
    EXPECT_EQ(p().form.Device.text, "Please Select Device on this List");
    EXPECT_TRUE(p().selection.DeviceType.empty());
    EXPECT_FALSE(p().form.Read_button.enabled);
    EXPECT_FALSE(p().form.FrameVoltageSelection.visible);
    EXPECT_TRUE(p().form.PleaseSelect.visible);
}

TEST_F(SelectionTest, FlashMapIsUndoneByTheNextDevice) {
    Select(27);  // AM29F040
    EXPECT_EQ(p().addr.AdrMapHigh[4], 8);
    Select(19);  // 27C040
    for (int i = 4; i <= 7; ++i) EXPECT_EQ(p().addr.AdrMapHigh[static_cast<std::size_t>(i)], i);
}

TEST_F(SelectionTest, ClassZeroDeviceKeepsTheEarlierProgrammingVoltage) {
    Select(10);  // 27256, offers up to 25 V
    p().form.Voltage_button.Click(3);
    EXPECT_EQ(p().selection.VppVolts, 25);
    Select(27);
    EXPECT_EQ(p().selection.VppVolts, 25);
    EXPECT_TRUE(p().form.Voltage_button.Value(0));
    EXPECT_FALSE(p().form.Voltage_button.Value(3));
}

TEST_F(SelectionTest, VoltageOptionsSetVoltsAndWarn) {
    Select(2);  // 2732A, class 3
    const struct {
        int index;
        int volts;
        const char* line;
    } cases[] = {
        {2, 21, "BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!"},
        {3, 25, "BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!"},
        {1, 12, "Most Common Programming Voltage Selected: 12.5 Volts!!!"},
    };
    for (const auto& c : cases) {
        p().form.Voltage_button.Click(c.index);
        EXPECT_EQ(p().selection.VppVolts, c.volts);
        EXPECT_EQ(rig.LogMessages().back(), c.line);
    }
    // Options the device does not offer cannot be clicked.
    Select(11);
    const auto lines = rig.LogMessages().size();
    p().form.Voltage_button.Click(3);
    EXPECT_EQ(p().selection.VppVolts, 12);
    EXPECT_EQ(rig.LogMessages().size(), lines);
}

TEST_F(SelectionTest, LoadedCodeEnablesProgramVerifyAndEraseBuffer) {
    p().buffers.CodeLoaded = 1;
    p().buffers.DataLoaded = 1;
    Select(11);
    auto& f = p().form;
    EXPECT_TRUE(f.Program_button.enabled && f.menuProgramCode.enabled);
    EXPECT_TRUE(f.Verify_button.enabled && f.menuVerifyCode.enabled);
    EXPECT_TRUE(f.Erase_button.enabled && f.menuEraseCode.enabled);
    // A device without a data area forgets loaded data.
    EXPECT_EQ(p().buffers.DataLoaded, 0);
    EXPECT_FALSE(f.menuProgramData.enabled);
}

TEST_F(SelectionTest, SpeedSliderSetsDelayCounts) {
    const struct {
        int row, position;
        int strobe, pulse, longC;
    } cases[] = {
        {11, 18, 2 * 5 + 2, 2 * 100 + 2, 2 * 500 + 2},
        {11, 20, 2, 2, 2},
        {11, 10, 10 * 5 + 2, 10 * 100 + 2, 10 * 500 + 2},
        {11, 9, 11 * 100 + 2, 11 * 100 + 2, 11 * 500 + 2},  // slow end: strobes take the pulse factor
        {11, 1, 19 * 100 + 2, 19 * 100 + 2, 19 * 500 + 2},
        {2, 1, 19 * 20000 + 2, 19 * 20000 + 2, 19 * 100000 + 2},
        {21, 15, 5 * 2 + 2, 5 * 50 + 2, 5 * 250 + 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        Select(c.row);
        rig.sound.played.clear();
        p().form.Slider1.SetValue(c.position == 18 ? 17 : 18);
        p().form.Slider1.SetValue(c.position);
        EXPECT_EQ(p().regs.StrobeDelayCount, c.strobe);
        EXPECT_EQ(p().regs.PulseDelayCount, c.pulse);
        EXPECT_EQ(p().regs.LongDelayCount, c.longC);
        EXPECT_EQ(rig.LogMessages().back(), "Program Speed Slider set to: " + std::to_string(c.position));
        EXPECT_EQ(rig.sound.played.back().filename(), "slide.wav");
    }
}

TEST_F(SelectionTest, DelayCountsStayZeroUntilFirstSelection) {
    EXPECT_EQ(p().regs.StrobeDelayCount, 0);
    Select(11);
    EXPECT_EQ(p().regs.StrobeDelayCount, 12);
    EXPECT_EQ(p().regs.PulseDelayCount, 202);
    EXPECT_EQ(p().regs.LongDelayCount, 1002);
}

TEST_F(SelectionTest, ResetDeviceControlsLeavesNothingOfTheLastDevice) {
    Select(36);  // 24C08: "Erase Chip" and the code controls enabled
    p().form.tbToolBar.Button(2).enabled = true;
    p().selection.ResetDeviceControls();
    auto& f = p().form;
    for (form::Control* c : std::initializer_list<form::Control*>{
             &f.EraseFlash_button, &f.Verify_button, &f.Program_button, &f.Read_button, &f.Display_button,
             &f.Blank_button, &f.Erase_button, &f.Show_button, &f.CheckCode, &f.CheckData})
        EXPECT_FALSE(c->enabled) << c->name;
    for (auto* m : {&f.menuProgramData, &f.menuReadData, &f.menuDisplayData, &f.menuVerifyData, &f.menuEraseData,
                    &f.menuProgramCode, &f.menuDisplayCode, &f.menuReadCode, &f.menuVerifyCode, &f.menuEraseCode,
                    &f.menuEraseFlash, &f.menuBlankCheck, &f.menuFlashShowCodeID})
        EXPECT_FALSE(m->enabled) << m->name;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(f.Voltage_button[i].enabled || f.Voltage_button.Value(i));
    EXPECT_FALSE(f.tbToolBar.Button(2).enabled);
    for (int pos : {3, 4, 5}) EXPECT_FALSE(f.tbToolBar.Button(pos).visible);
    EXPECT_EQ(f.Show_button.caption, "Show Data");
    EXPECT_FALSE(f.FileNameDataText.visible);
    EXPECT_EQ(f.Frame3.caption, "Code Buffer Hex/Ascii Display");
}

TEST_F(SelectionTest, FlashIdentificationProbeRunsOnlyForTheAt29c256) {
    int probes = 0;
    p().selection.probeFlashId = [&] { ++probes; };
    Select(27);
    EXPECT_EQ(probes, 0);
    Select(23);
    EXPECT_EQ(probes, 1);
}

}  // namespace
}  // namespace moltrix::devices
