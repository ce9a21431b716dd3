// Raw image or records: the file's name and its whole text decide together.
// Record text in its everyday shapes reads as records, damaged record text is
// refused at its line, and raw images read exactly as they always did.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <random>

#include "buffers/image_formats.h"
#include "support/rig.h"

namespace moltrix::testing {
namespace {
using buffers::ImageFormat;
using buffers::ReadRecordImage;

constexpr std::size_t kMax = 2'100'001;  // the code buffer

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string RandomBytes(std::mt19937& gen, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

TEST(FormatDecision, RecordTextInEveryShapeReadsAsRecordsAndDamagedTextIsRefused) {
    std::mt19937 gen(22);
    const std::string image = RandomBytes(gen, 40);
    const std::vector<std::uint8_t> bytes(image.begin(), image.end());
    const std::string hex = buffers::WriteIntelHex(bytes);  // CR LF line ends
    const std::string srec = buffers::WriteSRecords(bytes, "chip");
    std::string damaged = hex;
    damaged[5] = 'G';  // one character of the first line
    std::string binary = RandomBytes(gen, 300);
    binary[0] = '\0';

    struct Case {
        const char* what;
        const char* name;
        std::string text;
        ImageFormat format;
        int errorLine;  // 0: read, the image is `bytes`
        const char* reason;
    } cases[] = {
        {"byte-order mark", "chip.bin", "\xEF\xBB\xBF" + hex, ImageFormat::IntelHex, 0, ""},
        {"indented lines", "chip.bin", "  " + Replace(hex, "\r\n", "\r\n\t "), ImageFormat::IntelHex, 0, ""},
        {"lower-case S-records", "chip.bin", Lower(srec), ImageFormat::SRecord, 0, ""},
        {"CR-only line ends", "chip.bin", Replace(hex, "\r\n", "\r"), ImageFormat::IntelHex, 0, ""},
        {"a comment after the end record", "chip", hex + "; made by hand\r\n", ImageFormat::IntelHex, 0, ""},
        {"records in a file of another name", "chip.dat", srec, ImageFormat::SRecord, 0, ""},
        {"named as its format", "CHIP.S19", srec, ImageFormat::SRecord, 0, ""},
        {"one damaged character on line 1", "chip.bin", damaged, ImageFormat::IntelHex, 1, "not a hex digit"},
        {"a note after the first record", "chip.bin", Replace(hex, "\r\n", " ; start\r\n"), ImageFormat::IntelHex,
         1, "not a hex digit"},
        {"text that only begins as a record", "", ":hello world\n", ImageFormat::IntelHex, 1, "not a hex digit"},
        {"a binary image named .hex", "chip.hex", binary, ImageFormat::IntelHex, 1, "no ':' at its start"},
        {"Intel HEX named .s19", "chip.s19", hex, ImageFormat::SRecord, 1, "not an S-record"},
        {"S-records named .hex", "chip.hex", srec, ImageFormat::IntelHex, 1, "no ':' at its start"},
        {"a binary image", "chip.bin", binary, ImageFormat::Raw, 0, ""},
        {"a text image", "chip.txt", "Hello, world: S1 and :00\r\n", ImageFormat::Raw, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = ReadRecordImage(c.text, kMax, c.name);
        EXPECT_EQ(r.format, c.format);
        EXPECT_EQ(r.errorLine, c.errorLine) << r.error;
        if (c.errorLine != 0) {
            EXPECT_NE(r.error.find("line " + std::to_string(c.errorLine) + ": "), std::string::npos) << r.error;
            EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        } else if (c.format != ImageFormat::Raw) {
            EXPECT_EQ(r.bytes, bytes);
        }
    }
}

// The seed inputs of the record reader's fuzz target, found from the working
// folder of the test (inside the build tree) or this source's place.
std::filesystem::path SeedCorpus() {
    const std::filesystem::path tail = "fuzz/corpus/fuzz_image_records";
    for (std::filesystem::path at : {std::filesystem::current_path(), std::filesystem::path(__FILE__).parent_path()})
        for (; !at.empty(); at = at.parent_path()) {
            if (std::filesystem::is_directory(at / tail)) return at / tail;
            if (at == at.parent_path()) break;
        }
    return {};
}

TEST(FormatDecision, RawImagesAndTheSeedFilesReadAsBefore) {
    // The seed files: the first seven as the reader has always taken them,
    // then record text in the shapes it now reads too.
    struct Seed {
        const char* file;
        ImageFormat format;
        bool ok;
    } seeds[] = {
        {"intel_hex_bad_checksum", ImageFormat::IntelHex, false}, {"intel_hex_ext_linear", ImageFormat::IntelHex, true},
        {"intel_hex_ext_segment", ImageFormat::IntelHex, true},   {"raw", ImageFormat::Raw, true},
        {"s19", ImageFormat::SRecord, true},                      {"s28", ImageFormat::SRecord, true},
        {"s37", ImageFormat::SRecord, true},                      {"intel_hex_bom_cr_only", ImageFormat::IntelHex, true},
        {"intel_hex_04_across_64k", ImageFormat::IntelHex, true}, {"srec_lower_case", ImageFormat::SRecord, true},
    };
    const auto corpus = SeedCorpus();
    ASSERT_FALSE(corpus.empty()) << "fuzz/corpus/fuzz_image_records not found";
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++files;
        const Seed* seed = nullptr;
        for (const Seed& s : seeds)
            if (name == s.file) seed = &s;
        ASSERT_NE(seed, nullptr) << "a new seed file: add what it reads as";
        for (const char* as : {"", "image.bin"}) {
            const auto r = ReadRecordImage(FileText(entry.path()), kMax, as);
            EXPECT_EQ(r.format, seed->format);
            EXPECT_EQ(r.ok(), seed->ok) << r.error;
        }
    }
    EXPECT_EQ(files, std::size(seeds));

    // Random images, and images that begin like record text yet hold a byte
    // no record text does: all raw.
    std::mt19937 gen(6);
    std::vector<std::string> raw;
    for (int i = 0; i < 300; ++i) raw.push_back(RandomBytes(gen, 16 + gen() % 3000));
    for (const std::string start : {":0200000012AB41", "\xEF\xBB\xBF:0200000012AB41\r\n", "  :0200000012AB41\n",
                                    "\r:0200000012AB41\r", "s105000012AB3D\n", "S1 note\n", ":02000000"})
        for (const char odd : {'\0', '\x80', '\xFF', '\x1A', '\x7F', '\x0C'}) raw.push_back(start + odd + "rest\n");
    for (const std::string& image : raw) {
        const auto r = ReadRecordImage(image, kMax, "image.bin");
        EXPECT_EQ(r.format, ImageFormat::Raw) << ::testing::PrintToString(image.substr(0, 24));
        EXPECT_TRUE(r.ok());
    }
}

}  // namespace
}  // namespace moltrix::testing
