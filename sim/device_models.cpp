#include "sim/device_models.h"

#include <array>
#include <cctype>

#include "sim/eprom.h"
#include "sim/jedec_flash.h"
#include "sim/page_eeprom.h"
#include "sim/serial_eeprom.h"

namespace moltrix::sim {
namespace {

// The first part listed for a type is the one a bare type code gives.
constexpr std::array<DeviceModel, 30> kModels{{
    {"2732A", "P1"},    {"2732B", "P1"},   {"2732", "P1"},     {"27C32", "P1"},
    {"2764", "P2"},     {"27C64", "P2"},   {"27128", "P3"},    {"27C128", "P3"},
    {"27256", "P4"},    {"27C256", "P4"},  {"27C259", "P4"},   {"27C512", "P5"},
    {"27C1001", "P6"},  {"27C010", "P6"},  {"27C2001", "P7"},  {"27C020", "P7"},
    {"27C4001", "P8"},  {"27C040", "P8"},  {"27C801", "P9"},   {"27C080", "P9"},
    {"AT29C256", "FA", 0x1F, 0xDC},
    {"A29040", "FL", 0x37, 0x86},
    {"AM29F010", "FS", 0x01, 0x20},
    {"AM29F020", "FR", 0x01, 0xB0},  // no datasheet code found; not in the program's table
    {"AM29F040", "FM", 0x01, 0xA4},
    {"EN29F040", "FM", 0x1C, 0x04},
    {"X28C256", "EN"},
    {"24C08", "SA"},    {"24C16", "SB"},   {"24C32", "SC"},
}};

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

Nanos FlashEraseTime(std::uint32_t size) {
    if (size <= 128 * 1024) return 500 * kMillisecond;
    if (size <= 256 * 1024) return 1000 * kMillisecond;
    return 1500 * kMillisecond;
}

}  // namespace

std::span<const DeviceModel> DeviceModels() { return kModels; }

const DeviceModel* FindDeviceModel(std::string_view key) {
    for (const DeviceModel& m : kModels) {
        if (SameText(m.name, key)) return &m;
    }
    for (const DeviceModel& m : kModels) {
        if (m.type == key) return &m;
    }
    return nullptr;
}

std::unique_ptr<Chip> MakeChip(const DeviceModel& model, std::uint64_t seed) {
    const SocketProfile* profile = FindSocketProfile(model.type);
    if (!profile) return nullptr;
    const std::string name(model.name);
    switch (profile->family) {
        case ChipFamily::Eprom:
            return std::make_unique<Eprom>(name, *profile, seed);
        case ChipFamily::JedecFlash: {
            JedecFlashSettings s;
            s.maker = model.maker;
            s.device = model.device;
            s.erase_time = FlashEraseTime(profile->size);
            return std::make_unique<JedecFlash>(name, profile->size, s);
        }
        case ChipFamily::PageEeprom: {
            PageEepromSettings s;
            if (model.type == "EN") {  // X28C256
                s.load_window = 100 * kMicrosecond;
                s.write_cycle = 2500 * kMicrosecond;
                s.erase_unloaded = false;
                s.has_product_id = false;
                s.has_chip_erase = false;
            }
            s.maker = model.maker;
            s.device = model.device;
            return std::make_unique<PageEeprom>(name, profile->size, s);
        }
        case ChipFamily::SerialEeprom: {
            SerialEepromSettings s;
            if (model.type == "SA") s.pin_mask = 0x04;  // A2 pin; a9, a8 in the device byte
            if (model.type == "SC") {
                s.address_bytes = 2;
                s.page_size = 32;
                s.pin_mask = 0x07;
            }
            return std::make_unique<SerialEeprom>(name, profile->size, s);
        }
    }
    return nullptr;
}

}  // namespace moltrix::sim
