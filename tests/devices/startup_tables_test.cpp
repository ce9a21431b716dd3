#include <gtest/gtest.h>

#include "rig.h"

namespace moltrix {
namespace {

int Bit(int v, int b) { return (v >> b) & 1; }

TEST(StartupTables, DecodeTablesFollowTheStatusWiring) {
    testing::Rig rig;
    auto& t = rig.p().tables;
    t.BuildStartupTables();
    for (int i = 0; i < 256; ++i) {
        auto k = static_cast<std::size_t>(i);
        // Models 5/6: status bits 3-6 carry the nibble; bits 0-2 and 7 do not matter.
        int nibble = Bit(i, 3) | Bit(i, 4) << 1 | Bit(i, 5) << 2 | Bit(i, 6) << 3;
        EXPECT_EQ(t.NibbleTableLo[k], nibble) << i;
        EXPECT_EQ(t.NibbleTableHi[k], nibble << 4) << i;
        if (i < 128) {
            EXPECT_EQ(t.NibbleTableLo[k], t.NibbleTableLo[k + 128]);
            EXPECT_EQ(t.NibbleTableHi[k], t.NibbleTableHi[k + 128]);
        }
        // Model 4: the index holds the upper halves of the low reading (bits 0-3)
        // and the high reading (bits 4-7); status bit 7 arrives inverted.
        int d = Bit(i, 2) | (1 - Bit(i, 3)) << 1 | Bit(i, 1) << 2 | Bit(i, 0) << 3 | Bit(i, 6) << 4 |
                (1 - Bit(i, 7)) << 5 | Bit(i, 5) << 6 | Bit(i, 4) << 7;
        EXPECT_EQ(t.NibbleTable4[k], d) << i;
    }
    EXPECT_EQ(t.NibbleTable4[0x00], 0x22);
    EXPECT_EQ(t.NibbleTable4[0x01], 0x2A);
    EXPECT_EQ(t.NibbleTable4[0x02], 0x26);
    EXPECT_EQ(t.NibbleTable4[0x10], 0xA2);
    EXPECT_EQ(t.NibbleTable4[0x80], 0x02);
    EXPECT_EQ(t.NibbleTable4[0xFF], 0xDD);
    EXPECT_EQ(t.NibbleTableLo[0xF8], 0x0F);
    EXPECT_EQ(t.NibbleTableLo[0x80], 0x00);
    EXPECT_EQ(t.NibbleTableHi[0x78], 0xF0);
}

TEST(StartupTables, IdentityMapsAndPrintableCharacters) {
    testing::Rig rig;
    auto& p = rig.p();
    p.addr.AdrMapHigh[4] = 8;
    p.addr.AdrMapMid[64] = 128;
    p.tables.BuildStartupTables();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(p.addr.AdrMapMid[static_cast<std::size_t>(i)], i);
        EXPECT_EQ(p.addr.AdrMapHigh[static_cast<std::size_t>(i)], i);
    }
    const std::string& s = p.tables.PrintableChars;
    ASSERT_EQ(s.size(), 91u);
    EXPECT_EQ(s[61], '0');
    EXPECT_EQ(s.substr(0, 3), "ABC");
    for (char c : {' ', '"', '`', '~'}) EXPECT_EQ(s.find(c), std::string::npos) << c;
    EXPECT_EQ(s.substr(62), "-=\\!@#$%^&*()_+|[]}{;:'/?.>,<");
}

}  // namespace
}  // namespace moltrix
