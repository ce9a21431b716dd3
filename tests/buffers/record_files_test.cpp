// Intel HEX and S-record files through Open Code and Save Code: the image they
// hold lands in the buffer (and in the chip), and a save writes the format back.
#include <cctype>
#include <fstream>

#include "buffers/image_formats.h"
#include "buffers_fixture.h"
#include "operations/op_bench.h"

namespace moltrix::testing {
namespace {
using buffers::ImageFormat;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string CrOnly(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at + 1, 1);
    return text;
}

TEST_F(BuffersTest, RecordFilesLoadTheirImageAndSaveBackInTheirFormat) {
    // Data at 0010h to 0011h and 1FF0h to 1FFFh: the gaps read FFh.
    std::vector<std::uint8_t> image(0x2000, 0xFF);
    image[0x10] = 0x12;
    image[0x11] = 0x34;
    for (int i = 0; i < 16; ++i) image[0x1FF0 + i] = static_cast<std::uint8_t>(i);
    const std::string text = ":020010001234A8\r\n:101FF000000102030405060708090A0B0C0D0E0F69\r\n:00000001FF\r\n";
    const std::string path = MakeFile("chip.hex", Bytes(text));
    p.buffers.CodeBuffer[0] = 0x77;  // below the file's data, yet part of its image
    OpenCode(path);
    auto& b = p.buffers;
    EXPECT_EQ(b.CodeSize, 0x2000);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), b.CodeBuffer.begin()));
    EXPECT_EQ(b.CodeFileFormat, ImageFormat::IntelHex);
    EXPECT_EQ(b.FileChecksum, buffers::FileChecksumText(image));
    EXPECT_EQ(rig.LogMessages(), (std::vector<std::string>{
                                     "File " + path + " - was read into Buffer. 8192 bytes long.",
                                     "Intel HEX file: 3 records, addresses 0010h to 1FFFh",
                                     "Read File CRC = $" + b.FileChecksum,
                                     "You can Install a Blank Eprom for Programming",
                                 }));

    // Save Code writes the file as it came: Intel HEX.
    b.CodeBuffer[0x10] = 0x99;
    p.buffers.mnuFileSaveCode_Click();
    auto saved = buffers::ReadRecordImage(FileText(path), 0x10000);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.format, ImageFormat::IntelHex);
    EXPECT_TRUE(std::equal(saved.bytes.begin(), saved.bytes.end(), b.CodeBuffer.begin()));
    EXPECT_EQ(saved.bytes.size(), 0x2000u);

    // Save Code As offers the three types, raw first; the one chosen is written.
    const std::string srec = (rig.services.paths.workDir / "chip.s19").string();
    const std::string raw = (rig.services.paths.workDir / "chip.bin").string();
    rig.dialogs.fileAnswers = {srec, raw};
    rig.dialogs.fileTypeAnswers = {2, 0};
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_EQ(LastShown()->text, buffers::kCodeSaveTypes);
    saved = buffers::ReadRecordImage(FileText(srec), 0x10000);
    EXPECT_EQ(saved.format, ImageFormat::SRecord);
    EXPECT_TRUE(std::equal(saved.bytes.begin(), saved.bytes.end(), b.CodeBuffer.begin()));
    EXPECT_EQ(b.CodeFileFormat, ImageFormat::SRecord);
    p.buffers.mnuFileSaveCodeAs_Click();
    EXPECT_EQ(ReadFile(raw), std::vector<std::uint8_t>(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 0x2000));
    EXPECT_EQ(b.CodeFileFormat, ImageFormat::Raw);
}

TEST_F(BuffersTest, RecordFileLargerThanTheBufferLoadsWhenItsImageFits) {
    // A 1 MiB image takes some 2.9 MB of HEX text, more than the buffer's bytes.
    std::vector<std::uint8_t> image(1u << 20);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + (i >> 9));
    const std::string text = buffers::WriteIntelHex(image);
    ASSERT_GT(text.size(), buffers::kCodeBufferBytes);
    OpenCode(MakeFile("big.hex", Bytes(text)));
    EXPECT_EQ(p.buffers.CodeSize, 1 << 20);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.buffers.CodeBuffer.begin()));

    // One byte more than the buffer holds: refused at the record that reaches past it.
    const std::size_t before = p.buffers.CodeBuffer.size();
    const std::string tooBig = buffers::WriteSRecords(std::vector<std::uint8_t>(buffers::kCodeBufferBytes + 1, 0), "x");
    OpenCode(MakeFile("big.s28", Bytes(tooBig)));
    EXPECT_EQ(p.buffers.CodeSize, 1 << 20);
    EXPECT_EQ(p.buffers.CodeBuffer.size(), before);
    EXPECT_NE(LastLog().find(": line 131252: address 200B21h is beyond the 2100001-byte buffer"), std::string::npos)
        << LastLog();
}

// Open Code on record text in the shapes other tools write it: the image it
// holds reaches the buffer, or the file is refused at its line; never its text.
TEST_F(BuffersTest, RecordTextLoadsItsImageOrIsRefusedNeverItsText) {
    std::vector<std::uint8_t> image = Pattern(0x50, 3);
    const std::string hex = buffers::WriteIntelHex(image);
    std::string damaged = hex, binary = std::string(1, '\0') + std::string(image.begin(), image.end());
    damaged[7] = 'x';
    std::string lower = buffers::WriteSRecords(image, "a");
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    struct Case {
        const char* name;
        std::string text;
        ImageFormat format;
        std::string refusal;  // empty: loads `image`, or the file's bytes when raw
    } cases[] = {
        {"bom.bin", "\xEF\xBB\xBF" + hex, ImageFormat::IntelHex, ""},
        {"cr.img", CrOnly(hex), ImageFormat::IntelHex, ""},
        {"lower.dat", lower, ImageFormat::SRecord, ""},
        {"damaged.bin", damaged, ImageFormat::IntelHex, "line 1: a character that is not a hex digit"},
        {"binary.hex", binary, ImageFormat::IntelHex, "line 1: not an Intel HEX record (no ':' at its start)"},
        {"binary.bin", binary, ImageFormat::Raw, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p.buffers.CodeSize = 1;
        const std::string path = MakeFile(c.name, Bytes(c.text));
        OpenCode(path);
        if (!c.refusal.empty()) {
            EXPECT_EQ(LastLog(), "File " + path + " - was not read: " + c.refusal);
            EXPECT_EQ(p.buffers.CodeSize, 1);
            continue;
        }
        const auto& want = c.format == ImageFormat::Raw ? Bytes(c.text) : image;
        ASSERT_EQ(p.buffers.CodeSize, static_cast<std::int32_t>(want.size()));
        EXPECT_TRUE(std::equal(want.begin(), want.end(), p.buffers.CodeBuffer.begin()));
        EXPECT_EQ(p.buffers.CodeFileFormat, c.format);
    }
}

// On the bench: a record file behind a byte-order mark with CR-only line
// ends, under a name that says nothing, programs its image into the chip.
TEST(RecordFilesOnTheChip, ARecordFileOfAnyNameProgramsItsImageNotItsText) {
    OpBench bench(6, "27C256");
    auto& p = bench.p();
    std::vector<std::uint8_t> image(0x300, 0xFF);
    for (std::size_t a = 0x100; a < 0x300; ++a) image[a] = static_cast<std::uint8_t>(a * 7 + 1);
    const std::string text = "\xEF\xBB\xBF" + CrOnly(buffers::WriteIntelHex(image));
    const auto path = bench.rig.services.paths.workDir / "chip.img";
    std::ofstream(path, std::ios::binary) << text;
    bench.rig.dialogs.fileAnswers.push_back(path.string());
    p.buffers.mnuFileOpenCode_Click();
    ASSERT_EQ(p.buffers.CodeSize, 0x300);

    p.program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), bench.Chip().begin()));
}

}  // namespace
}  // namespace moltrix::testing
