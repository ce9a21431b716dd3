#include "sim/device_models.h"

#include <array>
#include <cctype>

#include "sim/eprom.h"
#include "sim/jedec_flash.h"
#include "sim/page_eeprom.h"
#include "sim/serial_eeprom.h"

namespace moltrix::sim {
namespace {

constexpr const EpromProgramming* k25V = &kEprom25V;
constexpr const EpromProgramming* k21V = &kEprom21V;
constexpr const EpromProgramming* k12V = &kEprom12V;
constexpr const EpromProgramming* k12VFast = &kEprom12VFast;

// The first part listed for a type is the one a bare type code gives.
constexpr std::array<DeviceModel, 30> kModels{{
    {"2732A", "P1", k21V},      {"2732B", "P1", k12V},     {"2732", "P1", k25V},
    {"27C32", "P1", k25V},      {"2764", "P2", k21V},      {"27C64", "P2", k12V},
    {"27128", "P3", k21V},      {"27C128", "P3", k12V},    {"27256", "P4", k12V},
    {"27C256", "P4", k12V},     {"27C259", "P4", k12V},    {"27C512", "P5", k12V},
    {"27C1001", "P6", k12V},    {"27C010", "P6", k12V},    {"27C2001", "P7", k12V},
    {"27C020", "P7", k12V},     {"27C4001", "P8", k12V},   {"27C040", "P8", k12V},
    {"27C801", "P9", k12VFast}, {"27C080", "P9", k12VFast},
    {"AT29C256", "FA", nullptr, 0x1F, 0xDC},
    {"A29040", "FL", nullptr, 0x37, 0x86},
    {"AM29F010", "FS", nullptr, 0x01, 0x20},
    {"AM29F020", "FR", nullptr, 0x01, 0xB0},  // no datasheet code found; not in the program's table
    {"AM29F040", "FM", nullptr, 0x01, 0xA4},
    {"EN29F040", "FM", nullptr, 0x1C, 0x04},
    {"X28C256", "EN"},
    {"24C08", "SA"},    {"24C16", "SB"},   {"24C32", "SC"},
}};

// Datasheet chip-erase times of the 29F0x0 class, typical; the maximum is
// about 8 times that.
constexpr Nanos kErase128K = 1 * kSecond;  // 29F010
constexpr Nanos kErase256K = 2 * kSecond;  // 29F020
constexpr Nanos kErase512K = 8 * kSecond;  // 29F040 and its kin
constexpr std::uint64_t kEraseMaxFactor = 8;

// AT29C256 and X28C256 write cycle: 5 ms default, 10 ms at most.
constexpr Nanos kPageWriteCycleTypical = 5 * kMillisecond;
constexpr Nanos kPageWriteCycleMax = 10 * kMillisecond;
constexpr Nanos kX28LoadWindow = 100 * kMicrosecond;  // the family tolerates about 200 us

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
    if (size <= 128 * 1024) return kErase128K;
    if (size <= 256 * 1024) return kErase256K;
    return kErase512K;
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

std::unique_ptr<Chip> MakeChip(const DeviceModel& model, std::uint64_t seed, TimingCorner corner) {
    const SocketProfile* profile = FindSocketProfile(model.type);
    if (!profile) return nullptr;
    const bool slowest = corner == TimingCorner::Maximum;
    const std::string name(model.name);
    switch (profile->family) {
        case ChipFamily::Eprom: {
            EpromSettings s;
            if (model.eprom) s.programming = *model.eprom;
            return std::make_unique<Eprom>(name, *profile, s, seed);
        }
        case ChipFamily::JedecFlash: {
            JedecFlashSettings s;
            s.maker = model.maker;
            s.device = model.device;
            s.seed = seed;
            s.erase_time = FlashEraseTime(profile->size);
            if (slowest) {
                s.program_time = s.program_time_max;
                s.erase_time *= kEraseMaxFactor;
            }
            return std::make_unique<JedecFlash>(name, profile->size, s);
        }
        case ChipFamily::PageEeprom: {
            PageEepromSettings s;
            if (model.type == "EN") {  // X28C256
                s.load_window = kX28LoadWindow;
                s.erase_unloaded = false;
                s.has_product_id = false;
                s.has_chip_erase = false;
            }
            s.write_cycle = slowest ? kPageWriteCycleMax : kPageWriteCycleTypical;
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
            s.write_cycle = slowest ? kSerialWriteCycleMax : kSerialWriteCycleTypical;
            return std::make_unique<SerialEeprom>(name, profile->size, s);
        }
    }
    return nullptr;
}

}  // namespace moltrix::sim
