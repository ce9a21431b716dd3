// Saving the buffers to image files, failed saves, and the Erase Buffer command.
#include <sys/stat.h>

#include <filesystem>

#include "buffers_fixture.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;

TEST_F(BuffersTest, SaveCodeWritesExactlyCodeSizeBytes) {
    auto bytes = Pattern(1024, 3);
    std::string source = MakeFile("src.bin", bytes);
    OpenCode(source);
    // Whatever the working size says is what goes out, loaded file or not.
    for (std::int32_t size : {1024, 40, 32768, 0}) {
        p.buffers.CodeSize = size;
        p.buffers.mnuFileSaveCode_Click();
        auto written = ReadFile(source);
        ASSERT_EQ(written.size(), static_cast<std::size_t>(size));
        EXPECT_TRUE(std::equal(written.begin(), written.end(), p.buffers.CodeBuffer.begin()));
        EXPECT_EQ(LastLog(), "File Sucessfully Saved as " + source);
    }
    EXPECT_EQ(rig.dialogs.shown.size(), 1u);  // the name is known: no dialog
    EXPECT_EQ(f.sbStatusBar.statusText, "");
}

TEST_F(BuffersTest, SaveCodeAsAlwaysAsksAndAdoptsTheName) {
    OpenCode(MakeFile("src.bin", Pattern(300)));
    std::string target = (rig.services.paths.workDir / "copy.bin").string();
    rig.dialogs.fileAnswers.push_back(target);
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_EQ(LastShown()->kind, "save");
    EXPECT_EQ(LastShown()->title, "Save CODE BUFFER As...");
    EXPECT_EQ(ReadFile(target), Pattern(300));
    EXPECT_EQ(p.buffers.CodeFileName, target);
    EXPECT_EQ(f.FileNameCodeText.caption, target);

    // Cancelled: nothing written, name kept.
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_EQ(p.buffers.CodeFileName, target);
    EXPECT_EQ(LastLog(), "File Sucessfully Saved as " + target);
}

TEST_F(BuffersTest, SaveDataWithoutANameAsksAndWritesDataSizeBytes) {
    p.buffers.DataSize = 100;
    p.buffers.DataBuffer[99] = 0x99;
    p.buffers.DataBuffer[100] = 0x77;
    std::string target = (rig.services.paths.workDir / "eeprom.dat").string();
    rig.dialogs.fileAnswers.push_back(target);
    p.buffers.mnuFileSaveData_Click();
    EXPECT_EQ(LastShown()->title, "Save DATA Buffer ...");
    auto written = ReadFile(target);
    ASSERT_EQ(written.size(), 100u);
    EXPECT_EQ(written[99], 0x99);
    EXPECT_EQ(p.buffers.DataFileName, target);
    EXPECT_EQ(f.FileNameDataText.caption, target);
    EXPECT_EQ(LastLog(), "File Sucessfully Saved as " + target);

    // Save Data As asks again even though a name is known.
    std::string other = (rig.services.paths.workDir / "other.dat").string();
    rig.dialogs.fileAnswers.push_back(other);
    p.buffers.mnuFileSaveDataAs_Click();
    EXPECT_EQ(LastShown()->title, "Save DATA Buffer As...");
    EXPECT_EQ(ReadFile(other).size(), 100u);
    EXPECT_EQ(p.buffers.DataFileName, other);
}

TEST_F(BuffersTest, FailedSaveReportsKeepsTheOldFileAndTheName) {
    auto original = Pattern(64, 9);
    std::string source = MakeFile("keep.bin", original);
    OpenCode(source);
    p.buffers.CodeBuffer[0] ^= 0xFF;
    fs::create_directory(rig.services.paths.workDir / "folder.bin");
    const auto fifo = rig.services.paths.workDir / "pipe.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string label = f.FileNameCodeText.caption;
    struct Case {
        std::string target, reason;
    } cases[] = {
        {(rig.services.paths.workDir / "folder.bin").string(), "it is a folder, not a file"},
        {(rig.services.paths.workDir / "no-such-folder" / "x.bin").string(), ""},
        {fifo.string(), "it is a pipe (FIFO), not a file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        rig.dialogs.fileAnswers.push_back(c.target);
        p.buffers.mnuFileSaveCodeAs_Click();
        EXPECT_EQ(LastLog().rfind("File " + c.target + " - was not saved: " + c.reason, 0), 0u) << LastLog();
        EXPECT_EQ(LastShown()->kind, "message");
        EXPECT_EQ(LastShown()->title, "File Not Saved");
        EXPECT_NE(LastShown()->text.find(c.target), std::string::npos);
        EXPECT_FALSE(fs::is_regular_file(c.target));
        EXPECT_EQ(p.buffers.CodeFileName, source);
        EXPECT_EQ(f.FileNameCodeText.caption, label);
        EXPECT_EQ(f.sbStatusBar.statusText, "");
    }
    EXPECT_EQ(ReadFile(source), original);
    for (const auto& line : rig.LogMessages()) EXPECT_EQ(line.find("Saved as"), std::string::npos) << line;
}

// Saving replaces what the name stands for: through a symbolic link into the
// file it points to, with that file's permissions; a read-only file is refused.
TEST_F(BuffersTest, SaveWritesThroughALinkKeepsPermissionsAndRefusesAReadOnlyFile) {
    const auto work = rig.services.paths.workDir;
    OpenCode(MakeFile("image.bin", Pattern(32, 3)));
    const std::string target = MakeFile("real.bin", {1, 2, 3});
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.bin", work / "link.bin");
    rig.dialogs.fileAnswers.push_back((work / "link.bin").string());
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_TRUE(fs::is_symlink(work / "link.bin"));
    EXPECT_EQ(ReadFile(target), Pattern(32, 3));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const std::string locked = MakeFile("locked.bin", {9, 9});
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    rig.dialogs.fileAnswers.push_back(locked);
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_EQ(LastLog(), "File " + locked + " - was not saved: the file is read-only");
    EXPECT_EQ(LastShown()->title, "File Not Saved");
    EXPECT_EQ(ReadFile(locked), (std::vector<std::uint8_t>{9, 9}));
}

TEST_F(BuffersTest, EraseFillsTheCheckedBuffersOnly) {
    struct Case {
        int code, data;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " data " << c.data);
        Rig local;
        auto& q = local.p();
        q.tables.BuildStartupTables();
        auto& b = q.buffers;
        q.form.Program_button.enabled = q.form.Verify_button.enabled = true;
        q.form.menuProgramCode.enabled = q.form.menuVerifyCode.enabled = true;
        q.form.menuProgramData.enabled = q.form.menuVerifyData.enabled = true;
        q.display.DisplaySource = "DisplayEprom";
        q.form.CheckCode.value = c.code;
        q.form.CheckData.value = c.data;
        q.form.Erase_button.enabled = true;
        // A file of zeros loaded before: the erase's range shows against it.
        std::fill(b.CodeBuffer.begin(), b.CodeBuffer.end(), 0x00);
        q.form.Erase_button.Click();

        const std::uint8_t codeFill = c.code ? 0xFF : 0x00, dataFill = c.data ? 0xFF : 0x00;
        EXPECT_EQ(b.CodeBuffer[0], codeFill);
        EXPECT_EQ(b.CodeBuffer[0x100000], codeFill);
        EXPECT_EQ(b.CodeBuffer[0x100001], 0x00);
        EXPECT_EQ(b.DataBuffer[0], dataFill);
        EXPECT_EQ(b.DataBuffer[0x2000], dataFill);
        EXPECT_EQ(b.DataBuffer[0x2001], 0x00);
        const bool any = c.code || c.data;
        EXPECT_EQ(local.LogMessages().size(), static_cast<std::size_t>(c.code + c.data));
        for (const auto& line : local.LogMessages()) EXPECT_EQ(line, "Buffer has been Erased");
        EXPECT_EQ(q.form.Program_button.enabled, !any);
        EXPECT_EQ(q.form.Verify_button.enabled, !any);
        EXPECT_EQ(q.form.menuProgramCode.enabled, !c.code);
        EXPECT_EQ(q.form.menuVerifyCode.enabled, !c.code);
        EXPECT_EQ(q.form.menuProgramData.enabled, !c.data);
        EXPECT_EQ(q.form.menuVerifyData.enabled, !c.data);
        EXPECT_EQ(q.display.DisplaySource, any ? "Read" : "DisplayEprom");
        if (any) {
            EXPECT_EQ(q.form.BufferDisplay.text.substr(0, 25),
                      c.code ? "000000| FFFFFFFF FFFFFFFF" : "000000| 00000000 00000000");
        }
        EXPECT_EQ(b.CodeSize, 0);
        EXPECT_EQ(b.CodeLoaded, 0);
    }
}

}  // namespace
}  // namespace moltrix::testing
