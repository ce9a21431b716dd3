#include "devices/catalog.h"

#include "shell/programmer.h"

namespace moltrix::devices {

Catalog::Catalog(Programmer& p) : p_(p) {}

void Catalog::BuildDeviceCatalog() {
    rowCounter_ = 1;
    for (const DeviceRow& d : DeviceRows()) {
        if (rowCounter_ >= kCatalogRows) break;  // the table never holds more than 80 rows
        CatalogRow& row = DeviceCatalog[static_cast<std::size_t>(rowCounter_)];
        row[CatName] = d.name;
        if (row[CatName].size() < kNameWidth) row[CatName].resize(kNameWidth, ' ');
        row[CatFamily] = std::string(1, d.family);
        row[CatVariant] = std::string(1, d.variant);
        row[CatSizeKB] = std::to_string(d.sizeKB);
        row[CatReg1Bits] = std::to_string(d.reg1Bits);
        row[CatReg3Bits] = std::to_string(d.reg3Bits);
        row[CatVppClass] = std::to_string(d.vppClass);
        row[CatSupported] = d.supported ? "Y" : "N";
        ++rowCounter_;
    }
}

void Catalog::FillDeviceList() {
    auto& list = p_.form.Device;
    list.items.clear();
    int last = 0;
    for (int r = 1; r < kCatalogRows; ++r)
        if (!Row(r)[CatName].empty()) last = r;
    for (int r = 0; r <= last; ++r) {
        const CatalogRow& row = Row(r);
        list.items.push_back(row[CatSupported] == "Y" ? row[CatName] : kRefusedPrefix + row[CatName]);
    }
    // Item index and row number must stay the same number: the list is never sorted.
    list.listIndex = -1;
    list.text = kDevicePrompt;
    // The keys of the closed list step over the rows the selection refuses.
    list.refusedPrefix = kRefusedMark;
}

}  // namespace moltrix::devices
