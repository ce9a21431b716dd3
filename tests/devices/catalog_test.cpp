// The device catalogue as the operator sees it: the list items, and the rows
// behind them, checked against the device table of the product documentation.
#include <gtest/gtest.h>

#include <set>

#include "devices/catalog.h"
#include "support/rig.h"

namespace moltrix::devices {
namespace {

struct Expected {
    int row;
    const char* name;
    const char* type;
    int kb;
    int reg1, reg3, vpp;
    bool supported;
};

// Independent record of the 40 rows (from the product's device table).
constexpr Expected kTable[] = {
    {1, "Eprom 2716", "P1", 4, 0x20, 0, 3, false},
    {2, "Eprom 2732A", "P1", 4, 0x20, 0, 3, true},
    {3, "Eprom 2732B", "P1", 4, 0x20, 0, 1, true},
    {4, "Eprom 2732", "P1", 4, 0x20, 0, 3, true},
    {5, "Eprom 27C32", "P1", 4, 0x20, 0, 3, true},
    {6, "Eprom 2764", "P2", 8, 0xC0, 2, 3, true},
    {7, "Eprom 27C64", "P2", 8, 0xC0, 2, 1, true},
    {8, "Eprom 27128", "P3", 16, 0xC0, 2, 3, true},
    {9, "Eprom 27C128", "P3", 16, 0xC0, 2, 1, true},
    {10, "Eprom 27256", "P4", 32, 0x80, 2, 3, true},
    {11, "Eprom 27C256", "P4", 32, 0x80, 2, 1, true},
    {12, "Eprom 27C259", "P4", 32, 0, 2, 1, true},
    {13, "Eprom 27C512", "P5", 64, 0, 2, 1, true},
    {14, "Eprom 27C1001", "P6", 128, 0, 12, 1, true},
    {15, "Eprom 27C010", "P6", 128, 0, 12, 1, true},
    {16, "Eprom 27C2001", "P7", 256, 0, 12, 1, true},
    {17, "Eprom 27C020", "P7", 256, 0, 12, 1, true},
    {18, "Eprom 27C4001", "P8", 512, 0, 8, 1, true},
    {19, "Eprom 27C040", "P8", 512, 0, 8, 1, true},
    {20, "Eprom 27C801", "P9", 1024, 0, 0, 1, true},
    {21, "Eprom 27C080", "P9", 1024, 0, 0, 1, true},
    {22, "Eprom 27C080 OTP", "PM", 1024, 0, 0, 1, false},
    {23, "Flash Atmel AT29C256", "FA", 32, 0x80, 2, 0, true},
    {24, "Flash AMIC A29040", "FL", 512, 0, 4, 0, false},
    {25, "Flash AMD AM29F010", "FS", 128, 0, 4, 0, true},
    {26, "Flash AMD AM29F020", "FR", 256, 0, 4, 0, true},
    {27, "Flash AMD AM29F040", "FM", 512, 0, 4, 0, true},
    {28, "Flash EON EN29F040", "FM", 512, 0, 4, 0, false},
    {29, "Flash Atmel AT29F040", "FN", 512, 0, 4, 0, false},
    {30, "Flash Catalyst CAT28F001", "FO", 128, 0, 12, 0, false},
    {31, "Flash Catalyst CAT28F010", "FP", 128, 0, 12, 0, false},
    {32, "Flash Catalyst CAT28F020", "FQ", 256, 0, 12, 0, false},
    {33, "Eeprom XICOR X28C256", "EN", 32, 0x40, 2, 0, true},
    {34, "Eeprom Catalyst CAT28C256", "EO", 32, 0x40, 2, 0, false},
    {35, "Eeprom Catalyst CAT28C257", "EP", 32, 0x40, 2, 0, false},
    {36, "Eeprom 24C08 Serial (8 pins)", "SA", 1, 0, 0, 0, true},
    {37, "Eeprom 24C16 Serial (8 pins)", "SB", 2, 0, 0, 0, true},
    {38, "Eeprom 24C32 Serial (8 pins)", "SC", 4, 0, 0, 0, true},
    {39, "Eeprom 24C256 Serial (8 pins)", "SE", 32, 0, 0, 0, false},
    {40, "uC Atmel AT90S2313 Micro", "MJ", 1024, 0, 0, 0, false},
};

std::string Padded(const char* name) {
    std::string s = name;
    s.resize(30, ' ');
    return s;
}

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override { rig.p().Form_Load(); }
    testing::Rig rig;
};

TEST_F(CatalogTest, EveryRowMatchesTheDeviceTable) {
    const auto& cat = rig.p().catalog;
    ASSERT_EQ(DeviceRows().size(), std::size(kTable));
    for (const Expected& e : kTable) {
        SCOPED_TRACE(e.name);
        const CatalogRow& row = cat.Row(e.row);
        EXPECT_EQ(row[CatName], Padded(e.name));
        EXPECT_EQ(row[CatFamily] + row[CatVariant], e.type);
        EXPECT_EQ(row[CatSizeKB], std::to_string(e.kb));
        EXPECT_EQ(row[CatReg1Bits], std::to_string(e.reg1));
        EXPECT_EQ(row[CatReg3Bits], std::to_string(e.reg3));
        EXPECT_EQ(row[CatVppClass], std::to_string(e.vpp));
        EXPECT_EQ(row[CatSupported], e.supported ? "Y" : "N");
    }
}

TEST_F(CatalogTest, RowZeroAndTheSpareRowsStayEmpty) {
    const auto& cat = rig.p().catalog;
    for (int r : {0, 41, 60, 80})
        for (const auto& cell : cat.Row(r)) EXPECT_TRUE(cell.empty()) << "row " << r;
}

TEST_F(CatalogTest, DeviceListShowsOneItemPerRowInRowOrder) {
    const auto& list = rig.p().form.Device;
    ASSERT_EQ(list.items.size(), 41u);
    EXPECT_EQ(list.items[0], "N/A - ");
    int refused = 0;
    for (const Expected& e : kTable) {
        const std::string& item = list.items[static_cast<std::size_t>(e.row)];
        EXPECT_EQ(item, (e.supported ? "" : "N/A - ") + Padded(e.name)) << "row " << e.row;
        if (item.rfind("N/A - ", 0) == 0) ++refused;
    }
    EXPECT_EQ(refused, 12);
    EXPECT_EQ(list.items[11], "Eprom 27C256" + std::string(18, ' '));
    EXPECT_EQ(list.items[1], "N/A - Eprom 2716" + std::string(20, ' '));
}

TEST_F(CatalogTest, DeviceListStartsWithNothingSelected) {
    const auto& list = rig.p().form.Device;
    EXPECT_EQ(list.listIndex, -1);
    EXPECT_EQ(list.text, "Please Select Device on this List");
    EXPECT_TRUE(rig.p().form.PleaseSelect.visible);
}

// What the rest of the program relies on, for every row of the table.
TEST(DeviceTable, RowsAreConsistent) {
    std::set<std::string> names;
    for (const DeviceRow& d : DeviceRows()) {
        SCOPED_TRACE(d.name);
        const std::string name = d.name;
        EXPECT_LE(name.size(), kNameWidth);
        EXPECT_FALSE(name.empty());
        EXPECT_NE(name.back(), ' ');
        EXPECT_TRUE(names.insert(name).second) << "duplicate name";
        EXPECT_NE(std::string("PFESM").find(d.family), std::string::npos);
        EXPECT_GT(d.sizeKB, 0);
        EXPECT_EQ(d.sizeKB & (d.sizeKB - 1), 0) << "size is not a power of two";
        EXPECT_EQ(d.reg1Bits & ~0xFF, 0);
        EXPECT_EQ(d.reg3Bits & ~0x0F, 0);
        EXPECT_GE(d.vppClass, 0);
        EXPECT_LE(d.vppClass, 3);
        // Only EPROMs take a programming voltage, and every EPROM does.
        EXPECT_EQ(d.vppClass > 0, d.family == 'P');
    }
}

}  // namespace
}  // namespace moltrix::devices
