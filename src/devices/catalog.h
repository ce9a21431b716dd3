#pragma once
// The device catalogue: one table of data, one row per device. The row number
// is the device's identity: item n of the device list shows row n.
#include <array>
#include <span>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::devices {

// One device as written in the table. Reg1Bits are address lines A8-A15 (bit k
// is A(8+k)) and Reg3Bits lines A16-A19 (bit k is A(16+k)) held at 1 on every
// address load, because a smaller part has power or strobe pins there.
struct DeviceRow {
    const char* name;
    char family;   // 'P' EPROM, 'F' flash, 'E' parallel EEPROM, 'S' serial EEPROM, 'M' microcontroller
    char variant;  // size or algorithm variant within the family
    int sizeKB;
    int reg1Bits;
    int reg3Bits;
    int vppClass;  // 0 no programming voltage, 1 12.5 V, 2 up to 21 V, 3 up to 25 V
    bool supported;
};

// The 40 devices, in row order (row 1 first).
std::span<const DeviceRow> DeviceRows();

// Columns of a catalogue row; every cell is text.
enum CatColumn { CatName, CatFamily, CatVariant, CatSizeKB, CatReg1Bits, CatReg3Bits, CatVppClass, CatSupported };

inline constexpr int kCatalogRows = 81;      // row 0 stays empty, rows 41-80 are spare
inline constexpr std::size_t kNameWidth = 30;  // names are filled up with blanks to this width
inline constexpr const char* kRefusedPrefix = "N/A - ";
// What the selection refuses: an item whose name starts with these three characters.
inline constexpr const char* kRefusedMark = "N/A";
inline constexpr const char* kDevicePrompt = "Please Select Device on this List";

using CatalogRow = std::array<std::string, 8>;

class Catalog {
public:
    explicit Catalog(Programmer& p);

    std::array<CatalogRow, kCatalogRows> DeviceCatalog{};

    // Writes rows 1-40 from the table, each name filled up to 30 characters.
    void BuildDeviceCatalog();
    // Rebuilds the device list: one item per row from 0 to the last named row,
    // refused rows prefixed "N/A - " and marked refused for the list; nothing
    // selected.
    void FillDeviceList();

    const CatalogRow& Row(int n) const { return DeviceCatalog.at(static_cast<std::size_t>(n)); }

private:
    Programmer& p_;
    int rowCounter_ = 1;
};

}  // namespace moltrix::devices
