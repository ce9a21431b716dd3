// Intel HEX and S-record files through Open Code and Save Code: the image they
// hold lands in the buffer, and a save writes the format back.
#include "buffers/image_formats.h"
#include "buffers_fixture.h"

namespace moltrix::testing {
namespace {
using buffers::ImageFormat;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

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

}  // namespace
}  // namespace moltrix::testing
