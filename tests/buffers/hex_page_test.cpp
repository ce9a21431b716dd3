// The 62-character line and the two rules for which bytes print as themselves.
#include <gtest/gtest.h>

#include <array>

#include "buffers/hex_page.h"
#include "devices/startup_tables.h"

namespace moltrix::buffers {
namespace {

const std::array<std::uint8_t, 16> kHello = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x2C, 0x20, 0x57,
                                             0x6F, 0x72, 0x6C, 0x64, 0x21, 0xFF, 0xFF, 0xFF};

TEST(HexPage, LineFormatOfBothViews) {
    const auto buffer = PrintRule::FromSet(devices::kPrintableChars);
    const auto device = PrintRule::BlankToLowerZ();
    EXPECT_EQ(FormatLine(0x10, kHello, buffer), "000010| 48656C6C 6F2C2057 6F726C64 21FFFFFF | Hello,.World!...");
    EXPECT_EQ(FormatLine(0x10, kHello, device), "000010| 48656C6C 6F2C2057 6F726C64 21FFFFFF | Hello, World!...");
    EXPECT_EQ(FormatLine(0x10, kHello, buffer).size(), kLineChars);
}

TEST(HexPage, AddressIsTheLastSixUpperCaseDigits) {
    const std::array<std::uint8_t, 16> zeros{};
    const auto rule = PrintRule::BlankToLowerZ();
    struct Case {
        std::uint32_t address;
        const char* prefix;
    } cases[] = {{0, "000000| "}, {0xABCDE0, "ABCDE0| "}, {0x1234560, "234560| "}, {0xFFFF0, "0FFFF0| "}};
    for (const auto& c : cases) EXPECT_EQ(FormatLine(c.address, zeros, rule).substr(0, 8), c.prefix);
}

TEST(HexPage, PrintableRulesDifferAtTheEdges) {
    const auto buffer = PrintRule::FromSet(devices::kPrintableChars);
    const auto device = PrintRule::BlankToLowerZ();
    struct Case {
        std::uint8_t byte;
        char inBuffer, inDevice;
    } cases[] = {
        {0x20, '.', ' '}, {0x7B, '{', '.'}, {0x22, '.', '"'}, {0x60, '.', '`'}, {0x7E, '.', '.'},
        {0x7A, 'z', 'z'}, {0x1F, '.', '.'}, {0x7F, '.', '.'}, {0x80, '.', '.'}, {0xFF, '.', '.'},
        {0x00, '.', '.'}, {'A', 'A', 'A'}, {'0', '0', '0'}, {'<', '<', '<'}, {'}', '}', '.'}, {'|', '|', '.'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buffer.Show(c.byte), c.inBuffer) << int(c.byte);
        EXPECT_EQ(device.Show(c.byte), c.inDevice) << int(c.byte);
    }
    int shownByBuffer = 0, shownByDevice = 0;
    for (int b = 0; b < 256; ++b) {
        shownByBuffer += buffer.Show(static_cast<std::uint8_t>(b)) != '.' ? 1 : 0;
        shownByDevice += device.Show(static_cast<std::uint8_t>(b)) != '.' ? 1 : 0;
    }
    // "." itself is in both sets, so it is counted apart.
    EXPECT_EQ(shownByBuffer + 1, 91);
    EXPECT_EQ(shownByDevice + 1, 91);
}

}  // namespace
}  // namespace moltrix::buffers
