// The buffer views, paging, the view switch and the "MOLTRIX.BUF" export.
#include <filesystem>

#include "buffers_fixture.h"
#include "product.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    for (;;) {
        auto end = text.find("\r\n", pos);
        out.push_back(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) return out;
        pos = end + 2;
    }
}

TEST_F(BuffersTest, LastPageOfA32KBufferAndTheScrollLimits) {
    OpenCode(MakeFile("32k.bin", Pattern(32768)));
    EXPECT_EQ(f.VScroll1.max, 127);
    f.VScroll1.SetValue(500);  // the bar stops at its maximum
    EXPECT_EQ(f.VScroll1.value, 127);
    auto lines = Lines(f.BufferDisplay.text);
    ASSERT_EQ(lines.size(), 16u);
    for (const auto& l : lines) EXPECT_EQ(l.size(), 62u) << l;
    EXPECT_EQ(lines.front().substr(0, 8), "007F00| ");
    EXPECT_EQ(lines.back().substr(0, 8), "007FF0| ");
    EXPECT_EQ(p.addr.Address, 0x7F00);
    // Byte 7FF0h of the pattern is (7FF0h * 7) & FFh = 90h.
    EXPECT_EQ(lines.back().substr(8, 2), "90");
}

// A last partial page is reachable: a 1,000-byte file shows bytes 300h to 3E7h
// on page 3 (the rest of that page is whatever the buffer holds).
TEST_F(BuffersTest, LastPartialPageCanBeShown) {
    OpenCode(MakeFile("1000.bin", Pattern(1000)));
    EXPECT_EQ(f.VScroll1.max, 3);
    f.VScroll1.SetValue(3);
    auto lines = Lines(f.BufferDisplay.text);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines.front().substr(0, 8), "000300| ");
    EXPECT_EQ(lines[14].substr(0, 8), "0003E0| ");
    // Byte 3E7h of the pattern is (3E7h * 7) & FFh = 51h, the 8th of its line.
    EXPECT_EQ(lines[14].substr(8 + 2 * 7 + 1, 2), "51");
}

TEST_F(BuffersTest, ASmallFileLeavesOnlyPageZero) {
    f.VScroll1.SetMax(10);
    f.VScroll1.SetValue(4);
    OpenCode(MakeFile("small.bin", Pattern(200)));
    EXPECT_EQ(f.VScroll1.max, 0);
    EXPECT_EQ(f.VScroll1.value, 0);
    f.VScroll1.SetValue(-3);
    EXPECT_EQ(f.VScroll1.value, 0);
    EXPECT_EQ(Lines(f.BufferDisplay.text).front().substr(0, 8), "000000| ");
}

TEST_F(BuffersTest, DataViewHeadingAndLastPage) {
    p.selection.DeviceType = "MJ";  // the one device with a data view
    f.Show_button.caption = "Show Data";
    OpenCode(MakeFile("code.bin", Pattern(1024)));
    OpenData(MakeFile("data.dat", Pattern(8192, 1)));
    p.display.Show_button_Click();
    EXPECT_EQ(f.Show_button.caption, "Show Code");
    EXPECT_EQ(f.Frame3.caption, "Data Buffer Hex/Ascii Display");
    EXPECT_EQ(f.VScroll1.max, 63);
    auto lines = Lines(f.BufferDisplay.text);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "             *** BUFFER DATA ***");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2].substr(0, 10), "000000| 01");

    f.VScroll1.SetValue(63);
    lines = Lines(f.BufferDisplay.text);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2].substr(0, 8), "001F80| ");
    EXPECT_EQ(lines[9].substr(0, 8), "001FF0| ");

    // A code file loaded meanwhile keeps the data view's range.
    OpenCode(MakeFile("code2.bin", Pattern(4096)));
    EXPECT_EQ(f.VScroll1.max, 63);

    // Back to the code view.
    p.display.Show_button_Click();
    EXPECT_EQ(f.Show_button.caption, "Show Data");
    EXPECT_EQ(f.Frame3.caption, "Code Buffer Hex/Ascii Display");
    EXPECT_EQ(f.VScroll1.max, 15);
    EXPECT_EQ(f.VScroll1.value, 0);
    EXPECT_EQ(Lines(f.BufferDisplay.text).size(), 16u);
}

TEST_F(BuffersTest, Command1DrawsCodePageZeroWhateverThePosition) {
    OpenCode(MakeFile("code.bin", Pattern(4096, 0x10)));
    f.VScroll1.SetValue(3);
    ASSERT_EQ(f.BufferDisplay.text.substr(0, 6), "000300");
    f.Command1.Click();
    EXPECT_EQ(f.BufferDisplay.text.substr(0, 10), "000000| 10");
    EXPECT_EQ(f.VScroll1.value, 3);
    EXPECT_EQ(p.addr.Address, 0);
}

TEST_F(BuffersTest, DisplayCommandWithCodeUncheckedDoesNothing) {
    f.CheckCode.value = 0;
    f.Display_button.enabled = true;
    f.Display_button.Click();
    f.menuDisplayCode.enabled = true;
    f.menuDisplayCode.Click();
    EXPECT_TRUE(rig.LogMessages().empty());
    EXPECT_EQ(p.display.DisplaySource, "Read");
    EXPECT_TRUE(rig.recordingPort.log.empty());
}

TEST_F(BuffersTest, ExportWritesTheHeaderAndThePage) {
    OpenCode(MakeFile("code.bin", {'A', 'B'}));
    p.regs.BoardModel = 5;
    const std::string page = f.BufferDisplay.text;
    double sum = 0;
    for (unsigned char ch : page) sum += ch;
    f.BufferDisplay.DblClick();

    auto bytes = ReadFile((rig.services.paths.workDir / "MOLTRIX.BUF").string());
    std::string file(bytes.begin(), bytes.end());
    std::string expected = std::string("MOLTRIX BUFFER DISPLAY FILE - VARNOK ") + kWebAddress + "\r\n" +
                           "The following contents are the contents from Buffer DIsplay\r\n" +
                           "12/07/2026 17:51:05 StatCode: " + std::to_string(static_cast<long>(sum)) +
                           "  Model: 5 \r\n" + std::string(60, '-') + "\r\n" + page + "\r\n";
    EXPECT_EQ(file, expected);
    EXPECT_EQ(LastLog(), "Buffer DIsplay was Saved to MOLTRIX.BUF file");
    EXPECT_EQ(rig.sound.played.back().filename(), "ok.wav");
}

TEST_F(BuffersTest, ExportOfAnEmptyDisplay) {
    f.BufferDisplay.DblClick();
    auto bytes = ReadFile((rig.services.paths.workDir / "MOLTRIX.BUF").string());
    std::string file(bytes.begin(), bytes.end());
    auto lines = Lines(file);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "12/07/2026 17:51:05 StatCode: 0  Model: 0 ");
    EXPECT_EQ(lines[3], std::string(60, '-'));
    EXPECT_EQ(lines[4], "");  // the empty display
    EXPECT_EQ(lines[5], "");  // after its closing line break
}

TEST_F(BuffersTest, ExportThatCannotBeWrittenIsReported) {
    fs::create_directory(rig.services.paths.workDir / "MOLTRIX.BUF");
    f.BufferDisplay.SetText("x");
    f.BufferDisplay.DblClick();
    EXPECT_TRUE(fs::is_directory(rig.services.paths.workDir / "MOLTRIX.BUF"));
    EXPECT_EQ(LastLog().rfind("MOLTRIX.BUF could not be written: ", 0), 0u) << LastLog();
    ASSERT_NE(LastShown(), nullptr);
    EXPECT_EQ(LastShown()->title, "Buffer Display Not Saved");
    EXPECT_TRUE(rig.sound.played.empty());
}

}  // namespace
}  // namespace moltrix::testing
