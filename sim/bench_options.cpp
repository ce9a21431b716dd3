#include "sim/bench_options.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "sim/eprom.h"
#include "sim/jedec_flash.h"
#include "sim/page_eeprom.h"
#include "sim/serial_eeprom.h"

namespace moltrix::sim {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string Quote(std::string_view s) { return "'" + std::string(s) + "'"; }

namespace {

struct Unit {
    std::string_view name;
    Nanos nanos;
};
constexpr std::array<Unit, 6> kUnits{{{"ns", 1},
                                      {"us", kMicrosecond},
                                      {"\xC2\xB5s", kMicrosecond},  // micro sign
                                      {"\xCE\xBCs", kMicrosecond},  // Greek mu
                                      {"ms", kMillisecond},
                                      {"s", kSecond}}};
constexpr std::size_t kMaxWholeDigits = 9;     // up to 999,999,999 s still fits in Nanos
constexpr std::size_t kMaxFractionDigits = 9;

// Families an option applies to, as bits.
enum : unsigned { kEpromBit = 1, kFlashBit = 2, kPageBit = 4, kSerialBit = 8, kAnyChip = 15, kBoardOnly = 0 };

struct Rule {
    std::string_view name;
    bool takes_value;
    unsigned families;
};
constexpr std::array<Rule, 13> kRules{{
    {"vpp", true, kBoardOnly},
    {"typical", false, kFlashBit | kPageBit | kSerialBit},
    {"max", false, kFlashBit | kPageBit | kSerialBit},
    {"hard", false, kEpromBit},
    {"weak", true, kEpromBit},
    {"drift", true, kEpromBit},
    {"dead", true, kAnyChip},
    {"stuck0", true, kAnyChip},
    {"stuck1", true, kAnyChip},
    {"noerase", false, kFlashBit | kPageBit},
    {"protect", false, kPageBit},
    {"noack", false, kSerialBit},
    {"seed", true, kAnyChip},
}};

unsigned FamilyBit(ChipFamily f) {
    switch (f) {
        case ChipFamily::Eprom: return kEpromBit;
        case ChipFamily::JedecFlash: return kFlashBit;
        case ChipFamily::PageEeprom: return kPageBit;
        case ChipFamily::SerialEeprom: return kSerialBit;
    }
    return 0;
}

const char* FamilyName(ChipFamily f) {
    switch (f) {
        case ChipFamily::Eprom: return "a UV EPROM";
        case ChipFamily::JedecFlash: return "a 29F0x0 flash";
        case ChipFamily::PageEeprom: return "a page EEPROM";
        case ChipFamily::SerialEeprom: return "a serial EEPROM";
    }
    return "this chip";
}

std::string ParseVpp(std::string_view value, BoardSetup& board) {
    if (board.model != 4) {
        return "option 'vpp' is for model 4 only (models 5 and 6 select the level in register 0)";
    }
    if (value == "12.5") board.vpp_tenths = 125;
    else if (value == "21") board.vpp_tenths = 210;
    else if (value == "25") board.vpp_tenths = 250;
    else return "vpp " + Quote(value) + " is not 12.5, 21 or 25";
    return "";
}

std::string ParseMask(std::string_view name, std::string_view value, std::uint8_t& out) {
    unsigned mask = 0;
    if (!ParseHex(value, mask) || mask > 0xFF) {
        return std::string(name) + " mask " + Quote(value) + " is not a hex byte (00 to FF)";
    }
    out = static_cast<std::uint8_t>(mask);
    return "";
}

// A hex address inside the chip, or the error naming `what` and the chip's size.
std::string ParseCellAddress(std::string_view what, std::string_view value, const BoardSetup& board,
                             const SocketProfile& profile, std::uint32_t& out) {
    if (ParseHex(value, out) && out < profile.size) return "";
    char size[16];
    std::snprintf(size, sizeof size, "%Xh", static_cast<unsigned>(profile.size));
    return std::string(what) + " " + Quote(value) + " is not a hex address inside the " + board.device + " (" +
           size + " bytes)";
}

// "ADDR:BIT": a hex address inside the chip and a bit 0 to 7.
std::string ParseWeak(std::string_view value, const BoardSetup& board, const SocketProfile& profile,
                      CellBit& out) {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) {
        return "weak bit " + Quote(value) + " is not ADDR:BIT (hex address, bit 0 to 7)";
    }
    const std::string_view bit_text = Trim(value.substr(colon + 1));
    if (std::string error = ParseCellAddress("weak bit address", Trim(value.substr(0, colon)), board, profile,
                                             out.address);
        !error.empty()) {
        return error;
    }
    unsigned bit = 0;
    if (!ParseNumber(bit_text, 10, bit) || bit > 7) return "weak bit " + Quote(bit_text) + " is not a bit 0 to 7";
    out.bit = static_cast<int>(bit);
    return "";
}

}  // namespace

std::string ParseTime(std::string_view text, Nanos& out) {
    text = Trim(text);
    const std::string fault = "time " + Quote(text);
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return text.substr(from, i - from);
    };
    const std::string_view whole = digits();
    std::string_view fraction;
    if (i < text.size() && text[i] == '.') {
        ++i;
        fraction = digits();
    }
    const std::string_view unit_text = Trim(text.substr(i));
    const Unit* unit = nullptr;
    for (const Unit& u : kUnits) {
        if (u.name == unit_text) unit = &u;
    }
    if ((whole.empty() && fraction.empty()) || !unit) {
        return fault + " is not a number with a unit (ns, us, ms or s)";
    }
    if (whole.size() > kMaxWholeDigits || fraction.size() > kMaxFractionDigits) return fault + " is too long";
    std::uint64_t w = 0, f = 0, scale = 1;
    if (!whole.empty()) ParseNumber(whole, 10, w);
    if (!fraction.empty()) ParseNumber(fraction, 10, f);
    for (std::size_t k = 0; k < fraction.size(); ++k) scale *= 10;
    if ((f * unit->nanos) % scale != 0) return fault + " is not a whole number of nanoseconds";
    out = w * unit->nanos + f * unit->nanos / scale;
    return "";
}

std::string ParseBenchSetting(std::string_view item, BenchSetup& setup) {
    const std::size_t eq = item.find('=');
    const std::string_view name = Trim(item.substr(0, eq));
    const std::string_view value = Trim(item.substr(eq + 1));
    std::optional<Nanos>* into = name == "access" ? &setup.access_time : name == "pass" ? &setup.pass_time : nullptr;
    if (!into) return "unknown bench setting " + Quote(name) + " (access=TIME or pass=TIME)";
    Nanos time = 0;
    if (std::string error = ParseTime(value, time); !error.empty()) return std::string(name) + ": " + error;
    *into = time;
    return "";
}

std::string ParseBoardOption(std::string_view option, BoardSetup& board) {
    option = Trim(option);
    if (option.empty()) return "empty option after ';'";
    const std::size_t eq = option.find('=');
    const std::string_view name = Trim(option.substr(0, eq));
    const std::string_view value = eq == std::string_view::npos ? std::string_view{} : Trim(option.substr(eq + 1));
    const Rule* rule = nullptr;
    for (const Rule& r : kRules) {
        if (r.name == name) rule = &r;
    }
    if (!rule) return "unknown board option " + Quote(name);
    if (rule->takes_value && value.empty()) return "option " + Quote(name) + " needs a value";
    if (!rule->takes_value && eq != std::string_view::npos) return "option " + Quote(name) + " takes no value";
    if (name == "vpp") return ParseVpp(value, board);

    const DeviceModel* model = board.device.empty() ? nullptr : FindDeviceModel(board.device);
    if (!model) return "option " + Quote(name) + " needs a chip in the socket";
    const SocketProfile& profile = *FindSocketProfile(model->type);
    if ((rule->families & FamilyBit(profile.family)) == 0 || (name == "noerase" && profile.type == "EN")) {
        return "option " + Quote(name) + " does not apply to the " + board.device + " (" +
               FamilyName(profile.family) + (name == "noerase" ? " without chip erase" : "") + ")";
    }
    ChipOptions& c = board.chip;
    if (name == "typical" || name == "max") {
        const TimingCorner corner = name == "max" ? TimingCorner::Maximum : TimingCorner::Typical;
        if (c.corner && *c.corner != corner) return "options 'typical' and 'max' together";
        c.corner = corner;
    } else if (name == "hard") {
        c.hard = true;
    } else if (name == "noerase") {
        c.noerase = true;
    } else if (name == "protect") {
        c.protect = true;
    } else if (name == "noack") {
        c.noack = true;
    } else if (name == "dead") {
        std::uint32_t address = 0;
        if (std::string error = ParseCellAddress("dead cell", value, board, profile, address); !error.empty()) {
            return error;
        }
        c.dead.push_back(address);
    } else if (name == "weak") {
        CellBit weak;
        if (std::string error = ParseWeak(value, board, profile, weak); !error.empty()) return error;
        c.weak.push_back(weak);
    } else if (name == "drift") {
        std::uint32_t count = 0;
        if (!ParseNumber(value, 10, count) || count == 0) {
            return "drift " + Quote(value) + " is not a positive decimal number of bits";
        }
        c.drift = count;
    } else if (name == "stuck0") {
        return ParseMask(name, value, c.stuck0);
    } else if (name == "stuck1") {
        return ParseMask(name, value, c.stuck1);
    } else if (name == "seed") {
        std::uint64_t seed = 0;
        if (!ParseNumber(value, 10, seed)) return "seed " + Quote(value) + " is not a decimal number";
        c.seed = seed;
    }
    return "";
}

void ApplyChipOptions(const ChipOptions& options, Chip& chip) {
    for (std::uint32_t address : options.dead) chip.SetDead(address);
    chip.stuck_at_0 |= options.stuck0;
    chip.stuck_at_1 |= options.stuck1;
    if (auto* eprom = dynamic_cast<Eprom*>(&chip)) {
        if (options.hard) eprom->settings.hard = true;
        // After the image load: the bits that leaked are among the image's 0 bits.
        if (options.drift > 0) eprom->Drift(options.drift);
        for (const CellBit& weak : options.weak) eprom->SetWeak(weak.address, weak.bit);
    } else if (auto* flash = dynamic_cast<JedecFlash*>(&chip)) {
        if (options.noerase) flash->settings.erase_time = kNever;
    } else if (auto* page = dynamic_cast<PageEeprom*>(&chip)) {
        if (options.noerase) page->settings.chip_erase_time = kNever;
        if (options.protect) page->protection = true;
    } else if (auto* serial = dynamic_cast<SerialEeprom*>(&chip)) {
        if (options.noack) serial->settings.never_ack = true;
    }
}

}  // namespace moltrix::sim
