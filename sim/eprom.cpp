#include "sim/eprom.h"

namespace moltrix::sim {
namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

Eprom::Eprom(std::string name, const SocketProfile& profile, std::uint64_t seed)
    : Chip(std::move(name), profile.size),
      ce_pulse_(profile.ce_pulse),
      verify_with_vpp_(profile.verify_with_vpp),
      seed_(seed) {}

int Eprom::PulsesNeeded(std::uint32_t address) const {
    if (auto it = needed_override_.find(address); it != needed_override_.end()) return it->second;
    const std::uint64_t h = Mix(seed_ ^ Mix(address));
    if (h % 2000 == 0) return 60 + static_cast<int>((h >> 24) % 61);
    const unsigned r = (h >> 12) % 10;
    return r < 7 ? 1 : (r < 9 ? 2 : 3);
}

void Eprom::Erase() {
    Fill(0xFF);
    received_.clear();
    pulse_data_.clear();
}

void Eprom::Update(const ChipPins& p, Nanos) {
    const std::uint32_t address = Cell(p.address);
    // OE inactive for every part: where the programming voltage rides on
    // the OE pin, it sits there through the pulse and OE reads inactive.
    const bool program_condition =
        p.powered && p.ce && !p.oe && (ce_pulse_ || p.strobe);
    if (program_condition && !programming_) pulse_vpp_ = p.vpp;
    if (!program_condition && programming_) {
        const bool strobe_released = ce_pulse_ ? !p.ce : !p.strobe;
        if (strobe_released && p.powered && !p.oe) {
            if (pulse_vpp_ && p.vpp) {
                auto& record = counters().pulses[address];
                ++record.count;
                record.last_vpp_tenths = p.vpp_tenths;
                Pulse(address, p.board_drives ? p.data : 0xFF);
            } else {
                ++counters().pulses_without_vpp;
            }
        }
    }
    programming_ = program_condition;

    const bool read = p.powered && p.ce && p.oe && !p.vpp_on_oe && !p.strobe;
    const bool verify = verify_with_vpp_ && p.powered && !p.ce && p.oe && p.vpp;
    drives = read || verify;
    out = memory_[address];
}

void Eprom::Pulse(std::uint32_t address, std::uint8_t data) {
    if (!Programmable(address)) return;
    if (received_.empty()) {
        received_.assign(memory_.size(), 0);
        pulse_data_.assign(memory_.size(), 0xFF);
    }
    if (pulse_data_[address] != data) {  // other data: the count starts again
        pulse_data_[address] = data;
        received_[address] = 0;
    }
    if (received_[address] < 255) ++received_[address];
    if (received_[address] >= PulsesNeeded(address)) memory_[address] &= data;
}

}  // namespace moltrix::sim
