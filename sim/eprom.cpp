#include "sim/eprom.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace moltrix::sim {
namespace {

// A fraction in [0, 1) from the top 53 bits of a draw.
double Unit(std::uint64_t draw) { return static_cast<double>(draw >> 11) * 0x1.0p-53; }

// Streams of their own, apart from the needs and from each other.
constexpr std::uint64_t kNoiseStream = 0xDA3A6ED5EEDull;  // damaged-read noise
constexpr std::uint64_t kWeakStream = 0x3EA1CE115ull;     // weak bits' reads
constexpr std::uint64_t kDriftStream = 0xD121F7B175ull;   // which bits drifted

}  // namespace

Eprom::Eprom(std::string name, const SocketProfile& profile, const EpromSettings& s, std::uint64_t seed)
    : Chip(std::move(name), profile.size),
      settings(s),
      ce_pulse_(profile.ce_pulse),
      verify_with_vpp_(profile.verify_with_vpp),
      seed_(seed),
      noise_(seed ^ kNoiseStream),
      weak_noise_(seed ^ kWeakStream) {}

Nanos Eprom::Need(std::uint32_t address) const {
    const EpromProgramming& g = settings.programming;
    if (address < need_set_.size() && need_set_[address] != 0) return need_set_[address];
    if (settings.hard) return g.max_need;
    const std::uint64_t draw = Mix(seed_ ^ Mix(address));
    // The datasheets' typical programming is one pulse of the typical width
    // a byte (a 27C256 in about 4 s with 100 us pulses), and a byte is as slow
    // as its slowest bit: so a typical cell needs half that pulse, and with
    // the spread below nearly every byte takes its data at the first pulse.
    const double typical = static_cast<double>(g.typical_need) / 2;
    const double need = draw % kSlowCellOneIn == 0 ? typical * (5.0 + 5.0 * Unit(Mix(draw)))
                                                   : typical * std::exp2(2.0 * Unit(draw) - 1.0);
    return std::min(g.max_need, static_cast<Nanos>(need));
}

void Eprom::SetNeed(std::uint32_t address, Nanos need) {
    if (need_set_.empty()) need_set_.assign(Size(), 0);
    need_set_[Cell(address)] = static_cast<std::uint32_t>(
        std::clamp<Nanos>(need, 1, std::numeric_limits<std::uint32_t>::max()));
}

void Eprom::Erase() {
    Fill(0xFF);
    charge_.clear();
    charge_data_.clear();
    weak_.clear();
}

void Eprom::SetWeak(std::uint32_t address, int bit) {
    if (address >= Size() || bit < 0 || bit > 7) throw std::out_of_range("weak bit outside the chip");
    if (weak_.empty()) weak_.assign(Size(), 0);
    weak_[address] |= static_cast<std::uint8_t>(1u << bit);
    reading_ = false;  // a read under way draws afresh
}

// Selection sampling: walking the 0 bits in address order, each is taken
// with the chance (still wanted) / (still to come), which gives every set of
// `count` bits the same chance, in one pass and in address order.
void Eprom::Drift(std::uint32_t count) {
    std::uint64_t zeros = 0;
    for (std::uint8_t cell : memory_) zeros += static_cast<unsigned>(std::popcount(static_cast<std::uint8_t>(~cell)));
    std::uint64_t wanted = std::min<std::uint64_t>(count, zeros);
    drifted_.clear();
    const std::uint64_t stream = seed_ ^ kDriftStream;
    for (std::uint32_t a = 0; a < Size() && wanted > 0; ++a) {
        for (int bit = 0; bit < 8 && wanted > 0; ++bit) {
            if (memory_[a] >> bit & 1) continue;
            if (Mix(stream + zeros) % zeros < wanted) {
                memory_[a] |= static_cast<std::uint8_t>(1u << bit);
                drifted_.push_back({a, bit});
                --wanted;
            }
            --zeros;
        }
    }
}

// The weak bits of `weak` that read 1 in this read cycle.
std::uint8_t Eprom::DrawWeak(std::uint8_t weak) {
    std::uint8_t ones = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if ((weak >> bit & 1) && weak_noise_.Byte() % kWeakOneIn == 0) ones |= static_cast<std::uint8_t>(1u << bit);
    }
    return ones;
}

Eprom::Rating Eprom::Rate(std::uint16_t vpp) const {
    const EpromProgramming& g = settings.programming;
    if (vpp + kUnderVoltageMargin < g.vpp_low_tenths) return Rating::Under;
    if (vpp > g.vpp_high_tenths + kOverVoltageMargin) return Rating::Over;
    return Rating::Within;
}

void Eprom::Update(const ChipPins& p, Nanos now) {
    if (in_pulse_) Charge(now - since_);
    since_ = now;
    const std::uint32_t address = Cell(p.address);
    // OE inactive for every part: where the programming voltage rides on
    // the OE pin, it sits there through the pulse and OE reads inactive.
    const bool program = p.powered && p.ce && !p.oe && (ce_pulse_ || p.strobe) && p.vpp;
    if (program) Hold(address, p.board_drives ? p.data : 0xFF, p.vpp_tenths, !in_pulse_);
    in_pulse_ = program;

    const bool read = p.powered && p.ce && p.oe && !p.vpp_on_oe && !p.strobe;
    const bool verify = verify_with_vpp_ && p.powered && !p.ce && p.oe && p.vpp;
    drives = read || verify;
    out = memory_[address];
    if (drives && !weak_.empty() && weak_[address] != 0) {
        if (!reading_ || address != read_address_) weak_ones_ = DrawWeak(weak_[address]);
        out |= weak_ones_ & weak_[address];
    }
    reading_ = drives;
    read_address_ = address;
    if (damaged_ && drives) out ^= noise_.Byte();
}

// The lines of the stretch that begins now, inside a pulse.
void Eprom::Hold(std::uint32_t address, std::uint8_t data, std::uint16_t vpp, bool new_pulse) {
    PulseCounters& c = counters().pulses;
    if (new_pulse) {
        ++c.total;
        address_counted_ = under_counted_ = over_counted_ = false;
    }
    if (!address_counted_ || address != held_address_) ++c.count.Slot(address, Size());
    address_counted_ = true;
    c.last_vpp_tenths.Slot(address, Size()) = vpp;
    held_address_ = address;
    held_data_ = data;
    held_rating_ = Rate(vpp);
    if (held_rating_ == Rating::Under && !under_counted_) {
        ++c.under_voltage;
        under_counted_ = true;
    }
    if (held_rating_ == Rating::Over) {
        if (!over_counted_) ++c.over_voltage;
        over_counted_ = true;
        damaged_ = true;
    }
}

void Eprom::Charge(Nanos width) {
    const std::uint32_t a = held_address_;
    Nanos& summed = counters().pulses.width.Slot(a, Size());
    summed = Later(summed, width);
    if (held_rating_ != Rating::Within || !Programmable(a)) return;
    if (charge_.empty()) {
        charge_.assign(Size(), 0);
        charge_data_.assign(Size(), 0xFF);
    }
    if (charge_data_[a] != held_data_) {  // other data: the sum starts again
        charge_data_[a] = held_data_;
        charge_[a] = 0;
    }
    const Nanos sum = std::min<Nanos>(Later(charge_[a], width), std::numeric_limits<std::uint32_t>::max());
    charge_[a] = static_cast<std::uint32_t>(sum);
    if (sum >= Need(a)) {
        memory_[a] &= held_data_;
        if (!weak_.empty()) weak_[a] &= held_data_;  // full charge again: no longer weak
    }
}

}  // namespace moltrix::sim
