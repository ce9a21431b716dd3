// The setup file text and how its lines are read back.
#include <gtest/gtest.h>

#include "setups/setup_file.h"

namespace moltrix::setups {
namespace {

TEST(SetupFile, WritesTheNineteenLinesInOrder) {
    SetupRecord r;
    r.name = "Bench";
    r.codeFile = "/images/boot.bin";
    r.deviceIndex = 11;
    r.voltage = {false, true, false, false};
    r.checkBlank = 1;
    r.verifyAfter = 0;
    r.lpt = {false, true, false};
    r.portText = "278h";
    r.hiLow = {false, false, true};
    r.slider = 7;
    r.checkCode = 1;
    r.checkData = 0;
    EXPECT_EQ(WriteSetupFile(r),
              "SetupName = Bench\r\n"
              "sFILE = /images/boot.bin\r\n"
              "Device.Index = 11\r\n"
              "Voltage_button(0).value = False\r\n"
              "Voltage_button(1).value = True\r\n"
              "Voltage_button(2).value = False\r\n"
              "Voltage_button(3).value = False\r\n"
              "CheckBlankPriorProgramming.Value = 1\r\n"
              "VerifyAfterProgramming.Value = 0\r\n"
              "LPTSelection(0).Value = False\r\n"
              "LPTSelection(1).Value = True\r\n"
              "LPTSelection(2).Value = False\r\n"
              "PortSelected.Text = 278h\r\n"
              "HiLow_button(0).Value = False\r\n"
              "HiLow_button(1).Value = False\r\n"
              "HiLow_button(2).Value = True\r\n"
              "Slider1.Value = 7\r\n"
              "CheckCode.Value = 1\r\n"
              "CheckData.Value = 0\r\n");
}

TEST(SetupFile, TextValuesStayOnTheirLine) {
    SetupRecord r;
    r.name = "two\r\nlines";
    std::string text = WriteSetupFile(r);
    EXPECT_EQ(text.substr(0, 26), "SetupName = two  lines\r\nsF");
    EXPECT_EQ(SetupNameOf(text), "two  lines");
    EXPECT_EQ(ParseSetupFile(text).size(), 18u);  // every line but the name
}

TEST(SetupFile, ReadsKeysExactlyAndConvertsValues) {
    struct Case {
        const char* line;
        bool matches, valid;
        SetupKey key;
        int index, number;
        bool truth;
        const char* text;
    } cases[] = {
        {"CheckCode.Value = 1", true, true, SetupKey::CheckCode, 0, 1, false, ""},
        {"checkcode.value = 1", false, false, SetupKey::CheckCode, 0, 0, false, ""},
        {"CheckCode.value = 1", false, false, SetupKey::CheckCode, 0, 0, false, ""},
        {"Voltage_button(2).value = True", true, true, SetupKey::Voltage, 2, 0, true, ""},
        {"Voltage_button(2).Value = True", false, false, SetupKey::Voltage, 0, 0, false, ""},
        {"LPTSelection(1).Value = false", true, true, SetupKey::Lpt, 1, 0, false, ""},
        {"HiLow_button(1).Value = maybe", true, false, SetupKey::HiLow, 1, 0, false, ""},
        {"HiLow_button(0).Value = 1", true, false, SetupKey::HiLow, 0, 0, false, ""},
        {"Slider1.Value = 6.5", true, true, SetupKey::Slider, 0, 6, false, ""},
        {"Slider1.Value = 7.5", true, true, SetupKey::Slider, 0, 8, false, ""},
        {"Slider1.Value = fast", true, false, SetupKey::Slider, 0, 0, false, ""},
        {"Slider1.Value = 0x10", true, false, SetupKey::Slider, 0, 0, false, ""},
        {"Slider1.Value = ", true, false, SetupKey::Slider, 0, 0, false, ""},
        {"Device.Index = -1", true, true, SetupKey::DeviceIndex, 0, -1, false, ""},
        {"sFILE = ", true, true, SetupKey::CodeFile, 0, 0, false, ""},
        {"sFILE = C:\\A B\\x.bin ", true, true, SetupKey::CodeFile, 0, 0, false, "C:\\A B\\x.bin "},
        {"PortSelected.Text = 3BCh", true, true, SetupKey::PortText, 0, 0, false, "3BCh"},
        {"SetupName = Bench", false, false, SetupKey::CodeFile, 0, 0, false, ""},
        {" CheckData.Value = 1", false, false, SetupKey::CheckData, 0, 0, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto entries = ParseSetupFile(std::string(c.line) + "\r\n");
        ASSERT_EQ(entries.size(), c.matches ? 1u : 0u);
        if (!c.matches) continue;
        const auto& e = entries[0];
        EXPECT_EQ(e.valid, c.valid);
        EXPECT_EQ(e.key, c.key);
        EXPECT_EQ(e.index, c.index);
        EXPECT_EQ(e.line, c.line);
        if (!c.valid) continue;
        EXPECT_EQ(e.number, c.number);
        EXPECT_EQ(e.truth, c.truth);
        EXPECT_EQ(e.text, c.text);
    }
}

TEST(SetupFile, KeepsLineOrderAndNumbersAndTakesBareLineFeeds) {
    auto entries = ParseSetupFile("junk\nCheckData.Value = 1\r\n\r\nCheckData.Value = 0");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].lineNumber, 2);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_EQ(entries[1].lineNumber, 4);
    EXPECT_EQ(entries[1].number, 0);
}

TEST(SetupFile, NameIsWhatFollowsTheNameKey) {
    EXPECT_EQ(SetupNameOf("SetupName = No Name Setup 2\r\nsFILE = \r\n"), "No Name Setup 2");
    EXPECT_EQ(SetupNameOf("SetupName = \r\n"), "");
    EXPECT_EQ(SetupNameOf(""), "");
}

}  // namespace
}  // namespace moltrix::setups
