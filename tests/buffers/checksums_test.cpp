// The named checksums against values Python's zlib, binascii.crc_hqx and
// hashlib give for the same bytes, and the --expect text's parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "buffers/checksums.h"

namespace moltrix::buffers {
namespace {

std::vector<std::string> Values(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> values;
    for (const NamedChecksum& c : NamedChecksums(bytes)) values.push_back(std::string(c.name) + " " + c.value);
    return values;
}

TEST(Checksums, KnownVectorsAndPythonsValues) {
    const std::string text = "123456789";
    EXPECT_EQ(Values({text.begin(), text.end()}),
              (std::vector<std::string>{"sum16 01DD", "crc32 CBF43926", "crc16 29B1",
                                        "sha256 15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"}));
    EXPECT_EQ(Values({}), (std::vector<std::string>{
                              "sum16 0000", "crc32 00000000", "crc16 FFFF",
                              "sha256 e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"}));
    // bytes(((i*i*7 + i*3 + 1) >> 3) & 0xFF for i in range(40000)): the sum wraps, the
    // CRCs and the hash run over many blocks.
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t i = 0; i < 40000; ++i) bytes.push_back(static_cast<std::uint8_t>((i * i * 7 + i * 3 + 1) >> 3));
    EXPECT_EQ(Values(bytes), (std::vector<std::string>{
                                 "sum16 D590", "crc32 0321D418", "crc16 8A0B",
                                 "sha256 9f2eee4d94558a7ffa056bc0202459a104c4c167c5f4ad35e5b640fc245afa0d"}));
}

TEST(Checksums, ExpectedValuesParseAndCompareWhateverTheirCase) {
    std::string error;
    const auto crc = ParseExpectedChecksum("CRC32=cbf43926", error);
    ASSERT_TRUE(crc);
    EXPECT_EQ(crc->name, "crc32");
    EXPECT_TRUE(ChecksumEquals("CBF43926", crc->value));
    EXPECT_TRUE(ChecksumEquals("01DD", "0x1dd"));
    EXPECT_TRUE(ChecksumEquals("01DD", "$01dd"));
    EXPECT_FALSE(ChecksumEquals("01DD", "1DE"));
    EXPECT_FALSE(ChecksumEquals("01DD", "1DD0"));

    for (const char* bad : {"crc32", "md5=1234", "crc32=", "crc32=12G4", "=1234"}) {
        error.clear();
        EXPECT_FALSE(ParseExpectedChecksum(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    ParseExpectedChecksum("md5=1", error);
    EXPECT_NE(error.find("sum16, crc32, crc16, sha256"), std::string::npos) << "the refusal names the checksums: " << error;
}

}  // namespace
}  // namespace moltrix::buffers
