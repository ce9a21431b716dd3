// Intel HEX and S-record files: round trips, files another tool made, and
// damaged files refused at their line.
#include "buffers/image_formats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <cstdio>
#include <random>

#include "support/rig.h"

namespace moltrix::testing {
namespace {
using buffers::ImageFormat;
using buffers::ReadRecordImage;

std::vector<std::uint8_t> Random(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(gen());
    return v;
}

constexpr std::size_t kLarge = 32u << 20;  // room for images past 16 MiB

TEST(ImageFormats, RoundTripsKeepEveryByteAcrossTheAddressSteps) {
    // Sizes around the 64 KiB step (type 04, S2) and the 16 MiB step (S3).
    for (std::size_t size : {std::size_t{1}, std::size_t{0xFFFF}, std::size_t{0x10001}, std::size_t{0x2345F},
                             std::size_t{0x1000011}}) {
        SCOPED_TRACE(size);
        const auto image = Random(size, static_cast<unsigned>(size));
        const std::string hex = buffers::WriteIntelHex(image);
        const std::string srec = buffers::WriteSRecords(image, "chip");
        for (const auto& [text, format] : {std::pair{&hex, ImageFormat::IntelHex}, std::pair{&srec, ImageFormat::SRecord}}) {
            const auto back = ReadRecordImage(*text, kLarge);
            ASSERT_TRUE(back.ok()) << back.error;
            EXPECT_EQ(back.format, format);
            EXPECT_EQ(back.lowest, 0u);
            EXPECT_EQ(back.highest, size - 1);
            EXPECT_TRUE(back.bytes == image);
        }
        // Type 04 exactly at each 64 KiB step; S1, S2 or S3 as the top address needs.
        const std::size_t pages = (size - 1) / 0x10000;
        std::size_t type04 = 0;
        for (std::size_t at = hex.find(":02000004"); at != std::string::npos; at = hex.find(":02000004", at + 1)) ++type04;
        EXPECT_EQ(type04, pages);
        const char* dataType = size <= 0x10000 ? "\nS1" : size <= 0x1000000 ? "\nS2" : "\nS3";
        EXPECT_NE(srec.find(dataType), std::string::npos);
        EXPECT_EQ(srec.substr(srec.rfind("\nS") + 1, 2), size <= 0x10000 ? "S9" : size <= 0x1000000 ? "S8" : "S7");
    }
}

TEST(ImageFormats, KnownRecordsAndTheSmallDetails) {
    const std::vector<std::uint8_t> two{0x12, 0xAB};
    EXPECT_EQ(buffers::WriteIntelHex(two), ":0200000012AB41\r\n:00000001FF\r\n");
    EXPECT_EQ(buffers::WriteSRecords(two, "A"), "S004000041BA\r\nS105000012AB3D\r\nS5030001FB\r\nS9030000FC\r\n");

    // Gaps are FFh, the image runs from 0 to the highest address; type 02
    // segments, 03/05 start addresses and lower-case digits are read.
    const auto gap = ReadRecordImage(":01001000559A\n:020000021000EC\n:0100050011E9\n"
                                     ":0400000300001234B3\n:0400000500001234B1\n:00000001ff\n",
                                     kLarge);
    ASSERT_TRUE(gap.ok()) << gap.error;
    EXPECT_EQ(gap.bytes.size(), 0x10006u);
    EXPECT_EQ(gap.bytes[0x10], 0x55);
    EXPECT_EQ(gap.bytes[0x10005], 0x11);
    EXPECT_EQ(gap.bytes[0x11], 0xFF);
    EXPECT_EQ(gap.records, 6u);
    EXPECT_EQ(gap.lowest, 0x10u);
    EXPECT_EQ(gap.highest, 0x10005u);

    // Not records: raw, whatever follows.
    for (std::string_view raw : {"\x01\x02\x03", "", "\n\n", "hello world\n", "\x80:0200000012AB41\n"})
        EXPECT_EQ(ReadRecordImage(raw, kLarge).format, ImageFormat::Raw) << raw;

    EXPECT_EQ(buffers::FormatFromExtension("a/CHIP.HEX"), ImageFormat::IntelHex);
    EXPECT_EQ(buffers::FormatFromExtension("x.ihx"), ImageFormat::IntelHex);
    for (const char* s : {"x.s19", "x.S28", "x.s37", "x.srec", "x.mot"})
        EXPECT_EQ(buffers::FormatFromExtension(s), ImageFormat::SRecord) << s;
    for (const char* s : {"x.bin", "hex", "x.hex/chip", "x.hexa"})
        EXPECT_EQ(buffers::FormatFromExtension(s), ImageFormat::Raw) << s;
}

TEST(ImageFormats, DamagedFilesAreRefusedAtTheirLine) {
    const std::string good = ":0200000012AB41\n";
    struct Case {
        std::string text;
        int line;
        std::string reason;
    } cases[] = {
        {good + ":0200100012AB40\n:00000001FF\n", 2, "checksum 40h is wrong, the record needs 31h"},
        {good + ":0300100012AB31\n:00000001FF\n", 2, "length does not match its byte count 03h"},
        {good + ":0200100012AB3\n", 2, "odd number of hex digits"},
        {good + ":02001000G2AB31\n", 2, "not a hex digit"},
        {good + "garbage\n:00000001FF\n", 2, "no ':' at its start"},
        {good + ":00000006FA\n", 2, "unknown record type 06"},
        {good + ":0100000401FA\n", 2, "a type 04 record holds 2 bytes, not 1"},
        {good + ":01000001AA54\n", 2, "a type 01 record holds 0 bytes, not 1"},
        {good + "\n", 2, "ends without the end-of-file record"},
        {good + ":00000001FF\n:0200000012AB41\n", 3, "a record after the end-of-file record"},
        {":0102\n", 1, "length does not match its byte count 01h"},
        {":\n", 1, "length does not match its byte count (none)"},
        {":00000001FF\n", 1, "holds no data records"},
        {":020000040021D9\n:0100000011EE\n:00000001FF\n", 2, "address 210000h is beyond the 2100001-byte buffer"},
        {"S105000012AB3D\nS105001012AB2C\nS9030000FC\n", 2, "checksum 2Ch is wrong, the record needs 2Dh"},
        {"S105000012AB3D\nS4030000FC\n", 2, "unknown record type S4"},
        {"S105000012AB3D\nS5030002FA\nS9030000FC\n", 2, "the count record says 2 data records, the file has 1"},
        {"S105000012AB3D\nS10200\nS9030000FC\n", 2, "length does not match"},
        {"S105000012AB3D\n:00000001FF\n", 2, "not an S-record"},
        {"S105000012AB3D\n", 1, "ends without an end record"},
        {"S105000012AB3D\nS9030000FC\ns105000012AB3D\n", 3, "a record after an end record"},
        {"S1 is a ship\n", 1, "not a hex digit"},
    };
    for (const auto& c : cases) {
        const auto r = ReadRecordImage(c.text, 2'100'001);
        EXPECT_NE(r.format, ImageFormat::Raw) << c.text;
        EXPECT_EQ(r.errorLine, c.line) << c.text;
        EXPECT_NE(r.error.find("line " + std::to_string(c.line) + ": "), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_TRUE(r.bytes.empty());
    }
}

std::string IntelRecord(std::uint8_t type, unsigned offset, std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> b{static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
                                static_cast<std::uint8_t>(offset), type};
    b.insert(b.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (std::uint8_t v : b) sum = static_cast<std::uint8_t>(sum + v);
    b.push_back(static_cast<std::uint8_t>(-sum));
    std::string line = ":";
    for (std::uint8_t v : b) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", v);
        line += digits;
    }
    return line + "\n";
}

// Data that runs past a 64 KiB step: on into the next bank after a type 04
// record (or none), wrapping within the segment after a type 02; a byte
// given twice must be given the same.
TEST(ImageFormats, IntelHexAcrossA64KiBStepAndOverlappingRecords) {
    const std::vector<std::uint8_t> sixteen{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::string end = IntelRecord(0x01, 0, {});
    struct Case {
        const char* what;
        std::string text;
        std::uint32_t first, second;  // where the record's first and last 8 bytes land
        int errorLine;
        std::string reason;
    } cases[] = {
        {"type 04, bank 1", IntelRecord(0x04, 0, {0x00, 0x01}) + IntelRecord(0x00, 0xFFF8, sixteen) + end, 0x1FFF8,
         0x20000, 0, ""},
        {"no address record", IntelRecord(0x00, 0xFFF8, sixteen) + end, 0xFFF8, 0x10000, 0, ""},
        {"type 02, segment 1000h", IntelRecord(0x02, 0, {0x10, 0x00}) + IntelRecord(0x00, 0xFFF8, sixteen) + end,
         0x1FFF8, 0x10000, 0, ""},
        {"the same bytes twice",
         IntelRecord(0x00, 0x1230, sixteen) + IntelRecord(0x00, 0x1238, {8, 9, 10, 11, 12, 13, 14, 15}) +
             IntelRecord(0x00, 0x1240, {}) + end,
         0x1230, 0x1238, 0, ""},
        {"a byte given twice, differently",
         IntelRecord(0x00, 0x1230, sixteen) + IntelRecord(0x04, 0, {0, 0}) + IntelRecord(0x00, 0x1234, {4, 0x56}) + end,
         0, 0, 3, "address 1235h is given as 56h, line 1 gave it 05h"},
        {"the tail into the next bank meets a record there",
         IntelRecord(0x00, 0x0000, {0x77}) + IntelRecord(0x04, 0, {0, 1}) + IntelRecord(0x00, 0x0000, {0x99}) +
             IntelRecord(0x04, 0, {0, 0}) + IntelRecord(0x00, 0xFFF8, sixteen) + end,
         0, 0, 5, "address 10000h is given as 08h, line 3 gave it 99h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = ReadRecordImage(c.text, kLarge);
        EXPECT_EQ(r.errorLine, c.errorLine) << r.error;
        if (c.errorLine != 0) {
            EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
            continue;
        }
        ASSERT_GE(r.bytes.size(), std::max(c.first, c.second) + 8u);
        for (std::uint32_t k = 0; k < 8; ++k) {
            EXPECT_EQ(r.bytes[c.first + k], k) << std::hex << c.first + k;
            EXPECT_EQ(r.bytes[c.second + k], k + 8) << std::hex << c.second + k;
        }
        EXPECT_EQ(r.highest, std::max(c.first, c.second) + 7);
    }
}

// Files made by binutils' objcopy from a raw image, placed at an address of
// their own, with the record types it picks.
TEST(ImageFormats, ReadsFilesObjcopyMade) {
    if (std::system("objcopy --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "objcopy (binutils) is not installed";
    TempDir dir;
    const auto image = Random(0x14321, 7);
    const auto raw = dir.path() / "image.bin";
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                               static_cast<std::streamsize>(image.size()));
    struct Made {
        const char* options;
        std::uint32_t at;
        ImageFormat format;
    } made[] = {
        {"-O ihex", 0, ImageFormat::IntelHex},
        {"-O ihex --change-addresses 0x1fff0", 0x1FFF0, ImageFormat::IntelHex},
        {"-O srec", 0, ImageFormat::SRecord},
        {"-O srec --srec-forceS3 --srec-len 32 --change-addresses 0x100", 0x100, ImageFormat::SRecord},
    };
    for (const Made& m : made) {
        SCOPED_TRACE(m.options);
        const auto out = dir.path() / "made.txt";
        const std::string command = std::string("objcopy -I binary ") + m.options + " '" + raw.string() + "' '" +
                                    out.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto r = ReadRecordImage(FileText(out), 2'100'001);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.format, m.format);
        EXPECT_EQ(r.lowest, m.at);
        ASSERT_EQ(r.bytes.size(), m.at + image.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), r.bytes.begin() + m.at));
        EXPECT_TRUE(std::all_of(r.bytes.begin(), r.bytes.begin() + m.at, [](auto b) { return b == 0xFF; }));
    }
}

}  // namespace
}  // namespace moltrix::testing
