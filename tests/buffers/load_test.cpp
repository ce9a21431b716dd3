// Loading code and data files: what lands in the buffers, the log, the labels
// and the controls, and that a file which cannot be used changes nothing.
#include <cctype>
#include <filesystem>

#include "buffers_fixture.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;
using platform::MsgIcon;

TEST_F(BuffersTest, ThreeByteCodeFileSetsSizeChecksumLabelsAndControls) {
    std::string path = MakeFile("tiny.bin", {0x01, 0x02, 0xFF});
    OpenCode(path);

    auto& b = p.buffers;
    EXPECT_EQ(b.CodeSize, 3);
    EXPECT_EQ(b.CodeFileName, path);
    EXPECT_EQ(b.FileChecksum, "0102");
    EXPECT_EQ((std::vector<std::uint8_t>(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 4)),
              (std::vector<std::uint8_t>{0x01, 0x02, 0xFF, 0xFF}));  // FFh past the file: the buffer starts erased
    EXPECT_EQ(rig.LogMessages(), (std::vector<std::string>{
                                     "File " + path + " - was read into Buffer. 3 bytes long.",
                                     "Read File CRC = $0102",
                                     "You can Install a Blank Eprom for Programming",
                                 }));
    EXPECT_EQ(f.FileNameCodeSize.caption, "(3)");
    std::string upper = path;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(f.FileNameCodeText.caption, upper);
    EXPECT_EQ(b.CodeLoaded, 1);
    EXPECT_EQ(f.CheckCode.value, 1);
    EXPECT_EQ(f.CheckData.value, 0);
    EXPECT_FALSE(f.CheckCode.enabled);
    EXPECT_FALSE(f.CheckData.enabled);
    EXPECT_TRUE(f.tbToolBar.Button(2).enabled);
    EXPECT_TRUE(f.mnuFileSaveCode.enabled && f.mnuFileSaveCodeAs.enabled && f.menuEraseCode.enabled);
    EXPECT_TRUE(f.Erase_button.enabled);
    // No device chosen: nothing to program or verify yet.
    EXPECT_FALSE(f.Program_button.enabled || f.Verify_button.enabled);
    EXPECT_EQ(f.sbStatusBar.statusText, "");
    EXPECT_EQ(f.DataFlow_label.foreColor, form::Color::ButtonFace());
    ASSERT_EQ(rig.sound.played.size(), 1u);
    EXPECT_EQ(rig.sound.played[0].filename(), "done.wav");
    // The page shows the file's first bytes.
    EXPECT_EQ(f.BufferDisplay.text.substr(0, 17), "000000| 0102FFFF ");
    const auto& opened = rig.dialogs.shown.at(0);
    EXPECT_EQ(opened.kind, "open");
    EXPECT_EQ(opened.title, "Open Code File");
    EXPECT_EQ(opened.text, "All Files (*.*)|*.*");
}

TEST_F(BuffersTest, LoadWithADeviceChosenEnablesProgramAndVerify) {
    p.selection.DeviceType = "P4";
    OpenCode(MakeFile("a.bin", Pattern(300)));
    EXPECT_TRUE(f.Program_button.enabled && f.Verify_button.enabled);
    EXPECT_TRUE(f.menuProgramCode.enabled && f.menuVerifyCode.enabled);
    EXPECT_EQ(f.VScroll1.max, 1);  // 300 bytes: a whole page and a partial one
}

TEST_F(BuffersTest, ChecksumIsTheByteSumModulo65536) {
    struct Case {
        std::size_t ffCount, oneCount;
        const char* expected;
    } cases[] = {
        {257, 0, "FFFF"},    // 65,535
        {256, 256, "0000"},  // 65,536
        {256, 257, "0001"},  // 65,537
        {0, 10, "000A"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes(c.ffCount, 0xFF);
        bytes.insert(bytes.end(), c.oneCount, 0x01);
        OpenCode(MakeFile("sum.bin", bytes));
        EXPECT_EQ(p.buffers.FileChecksum, c.expected) << c.ffCount << " x FF, " << c.oneCount << " x 01";
        EXPECT_EQ(LastLog(), "You can Install a Blank Eprom for Programming");
    }
}

TEST_F(BuffersTest, ShorterFileLeavesTheBytesAboveIt) {
    OpenCode(MakeFile("long.bin", {0xAA, 0xBB, 0xCC, 0xDD}));
    OpenCode(MakeFile("short.bin", {0x11, 0x22}));
    EXPECT_EQ(p.buffers.CodeSize, 2);
    EXPECT_EQ((std::vector<std::uint8_t>(p.buffers.CodeBuffer.begin(), p.buffers.CodeBuffer.begin() + 4)),
              (std::vector<std::uint8_t>{0x11, 0x22, 0xCC, 0xDD}));
    EXPECT_EQ(f.FileNameCodeSize.caption, "(2)");
}

TEST_F(BuffersTest, CancelledOpenChangesOnlyTheLampsAndTheSource) {
    f.Error_label.foreColor = form::kRed;
    p.display.DisplaySource = "DisplayEprom";
    OpenCode("");
    EXPECT_EQ(f.Error_label.foreColor, form::Color::ButtonFace());
    EXPECT_EQ(p.display.DisplaySource, "Read");
    EXPECT_TRUE(rig.LogMessages().empty());
    EXPECT_EQ(p.buffers.CodeSize, 0);
    EXPECT_EQ(f.FileNameCodeText.caption, "Click To Select a File");
}

// Everything a refused load must leave as it was.
struct Snapshot {
    std::int32_t codeSize, dataSize;
    std::string codeName, dataName, checksum, codeLabel, codeSizeLabel, dataLabel, display;
    std::int16_t codeLoaded, dataLoaded;
    std::vector<std::uint8_t> code, data;
    static Snapshot Of(Programmer& p) {
        auto& b = p.buffers;
        return {b.CodeSize, b.DataSize, b.CodeFileName, b.DataFileName, b.FileChecksum,
                p.form.FileNameCodeText.caption, p.form.FileNameCodeSize.caption, p.form.FileNameDataText.caption,
                p.form.BufferDisplay.text, b.CodeLoaded, b.DataLoaded,
                std::vector<std::uint8_t>(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 64),
                std::vector<std::uint8_t>(b.DataBuffer.begin(), b.DataBuffer.begin() + 64)};
    }
    bool operator==(const Snapshot&) const = default;
};

TEST_F(BuffersTest, UnusableFilesChangeNothingAndSayWhy) {
    OpenCode(MakeFile("good.bin", Pattern(100, 1)));
    OpenData(MakeFile("good.dat", Pattern(50, 2)));
    fs::create_directory(rig.services.paths.workDir / "afolder");
    std::string empty = MakeFile("empty.bin", {});
    std::string bigCode = MakeFile("big.bin", {});
    fs::resize_file(bigCode, 2'100'002);
    std::string bigData = MakeFile("big.dat", Pattern(8193));
    const std::string badRecords = ":0200000012AB41\r\n:0200100012AB40\r\n:00000001FF\r\n";
    std::string badHex = MakeFile("bad.hex", {badRecords.begin(), badRecords.end()});
    std::string missing = (rig.services.paths.workDir / "missing.bin").string();
    std::string folder = (rig.services.paths.workDir / "afolder").string();

    struct Case {
        bool code;
        std::string file, logLine, message, title;
    } cases[] = {
        {true, missing, "File " + missing + " - was not read: file not found",
         "Can't read the file " + missing + ": file not found", "File Not Read"},
        {true, folder, "File " + folder + " - was not read: it is a folder, not a file",
         "Can't read the file " + folder + ": it is a folder, not a file", "File Not Read"},
        {true, empty, "File " + empty + " - was not read: the file is empty",
         "Can't read the file " + empty + ": the file is empty", "File Not Read"},
        {true, bigCode, "Code File Size is 2100002 bytes, bigger than the 2100001 allowed - Will Not Open",
         "Can't Open Code File Bigger than 2100001 Bytes", "Code File Too Big"},
        {true, badHex, "File " + badHex + " - was not read: line 2: checksum 40h is wrong, the record needs 31h",
         "Can't read the file " + badHex + ": line 2: checksum 40h is wrong, the record needs 31h", "File Not Read"},
        {false, missing, "File " + missing + " - was not read: file not found",
         "Can't read the file " + missing + ": file not found", "File Not Read"},
        {false, folder, "File " + folder + " - was not read: it is a folder, not a file",
         "Can't read the file " + folder + ": it is a folder, not a file", "File Not Read"},
        {false, empty, "File " + empty + " - was not read: the file is empty",
         "Can't read the file " + empty + ": the file is empty", "File Not Read"},
        {false, bigData, "Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not Open",
         "Can't Open Data File Bigger than 8192 Bytes", "Data File to Big"},
        // A device that never ends is not a file.
        {true, "/dev/zero", "File /dev/zero - was not read: it is a character device, not a file",
         "Can't read the file /dev/zero: it is a character device, not a file", "File Not Read"},
        {false, "/dev/zero", "File /dev/zero - was not read: it is a character device, not a file",
         "Can't read the file /dev/zero: it is a character device, not a file", "File Not Read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Snapshot before = Snapshot::Of(p);
        const auto shownBefore = rig.dialogs.shown.size();
        const auto soundsBefore = rig.sound.played.size();
        if (c.code)
            OpenCode(c.file);
        else
            OpenData(c.file);
        EXPECT_TRUE(Snapshot::Of(p) == before);
        EXPECT_EQ(LastLog(), c.logLine);
        ASSERT_EQ(rig.dialogs.shown.size(), shownBefore + 2);  // the file dialog, then the message
        EXPECT_EQ(LastShown()->text, c.message);
        EXPECT_EQ(LastShown()->title, c.title);
        EXPECT_EQ(LastShown()->icon, MsgIcon::Exclamation);
        EXPECT_EQ(rig.sound.played.size(), soundsBefore);
        EXPECT_EQ(f.DataFlow_label.foreColor, form::Color::ButtonFace());
        EXPECT_EQ(f.sbStatusBar.statusText, "");
    }
}

TEST_F(BuffersTest, DataFileOfExactly8192BytesLoads) {
    auto bytes = Pattern(8192, 5);
    std::string path = MakeFile("full.dat", bytes);
    p.buffers.DataBuffer[8192] = 0x5A;
    OpenData(path);

    auto& b = p.buffers;
    EXPECT_EQ(b.DataSize, 8192);
    EXPECT_EQ(b.DataFileName, path);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), b.DataBuffer.begin()));
    EXPECT_EQ(b.DataBuffer[8192], 0x5A);
    EXPECT_EQ(b.DataLoaded, 1);
    EXPECT_EQ(rig.LogMessages(), (std::vector<std::string>{
                                     "File " + path + " - was read into DataBuffer. 8192 bytes long.",
                                     "You can Install a Blank Eprom for Programming",
                                 }));
    EXPECT_EQ(f.FileNameDataText.caption, path);  // as chosen, not upper case
    EXPECT_EQ(f.FileNameDataSize.caption, "(0 Bytes)");
    EXPECT_TRUE(f.tbToolBar.Button(5).enabled);
    for (auto* m : {&f.menuVerifyData, &f.menuProgramData, &f.mnuFileSaveData, &f.mnuFileSaveDataAs,
                    &f.menuEraseData})
        EXPECT_TRUE(m->enabled) << m->name;
    EXPECT_TRUE(f.Verify_button.enabled && f.Program_button.enabled && f.Erase_button.enabled);
    EXPECT_TRUE(rig.sound.played.empty());
    EXPECT_EQ(rig.dialogs.shown.at(0).title, "Open Data File (eeprom)");
}

TEST_F(BuffersTest, CodeLabelClickOpensOnlyWhileNoFileIsNamed) {
    struct Case {
        const char* caption;
        bool opens;
    } cases[] = {{"Click To Select a File", true}, {"  Click To Select a File ", true},
                 {"C:/IMAGES/A.BIN", false}, {"click to select a file", false}};
    for (const auto& c : cases) {
        rig.dialogs.shown.clear();
        f.FileNameCodeText.caption = c.caption;
        f.FileNameCodeText.Click();
        EXPECT_EQ(!rig.dialogs.shown.empty(), c.opens) << c.caption;
    }
}

TEST_F(BuffersTest, ToolbarKeysAreExactAndCaseSensitive) {
    struct Case {
        const char* key;
        const char* dialogTitle;  // nullptr: nothing happens
    } cases[] = {
        {"OpenCode", "Open Code File"},   {"OpenData", "Open Data File (eeprom)"},
        {"SaveCode", "Save CODE BUFFER ..."}, {"SaveData", "Save DATA Buffer ..."},
        {"opencode", nullptr},            {"OpenCode ", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        rig.dialogs.shown.clear();
        f.tbToolBar.onButtonClick(c.key);
        if (c.dialogTitle) {
            ASSERT_EQ(rig.dialogs.shown.size(), 1u) << c.key;
            EXPECT_EQ(rig.dialogs.shown[0].title, c.dialogTitle);
        } else {
            EXPECT_TRUE(rig.dialogs.shown.empty()) << c.key;
        }
    }
    EXPECT_TRUE(rig.LogMessages().empty());
}

}  // namespace
}  // namespace moltrix::testing
