#include "sim/serial_eeprom.h"

namespace moltrix::sim {

SerialEeprom::SerialEeprom(std::string name, std::uint32_t size, const SerialEepromSettings& s)
    : Chip(std::move(name), size), settings(s) {}

void SerialEeprom::Update(const ChipPins& p, Nanos now) {
    if (!p.powered) {
        if (scl_ && p.scl && !sda_ && p.sda) ++counters().serial.stops_lost;  // nobody listening
        if (powered_) {
            powered_ = false;
            phase_ = Phase::Idle;
            page_.clear();
            if (writing_) {  // the cycle needs power to the end
                writing_ = false;
                cycle_data_.clear();
                next_event = kNever;
            }
        }
        sda_low = false;
        scl_ = p.scl;
        sda_ = master_sda_ = p.sda;
        return;
    }
    wp_ = p.wp;
    pins_ = p.device_pins;
    if (!powered_) {
        powered_ = true;
        ready_at_ = Later(now, settings.power_up);
        phase_ = Phase::Idle;
        scl_ = p.scl;
        sda_ = p.sda && !sda_low;
        master_sda_ = p.sda;
        return;
    }
    // Lines change one register at a time; when SCL and SDA move together,
    // take SDA as set up before a rising clock and held after a falling one.
    const auto sda_moves = [&] {
        const bool line = p.sda && !sda_low;
        // The master lets SDA rise with SCL high, but the chip holds it low.
        if (scl_ && p.sda && !master_sda_ && sda_low) ++counters().serial.stops_lost;
        master_sda_ = p.sda;
        if (line == sda_) return;
        sda_ = line;
        if (!scl_) return;
        if (now < ready_at_) {
            if (line) ++counters().serial.stops_lost;  // still powering up
            return;
        }
        if (line) OnStop(now);
        else OnStart();
    };
    if (scl_ && !p.scl) {
        scl_ = false;
        if (now >= ready_at_) OnFall(now);
        sda_moves();
    } else if (!scl_ && p.scl) {
        sda_moves();
        scl_ = true;
        if (now >= ready_at_) OnRise(sda_);
    } else {
        sda_moves();
    }
}

void SerialEeprom::Tick(Nanos now) {
    if (writing_ && now >= cycle_end_) FinishCycle();
    next_event = writing_ ? cycle_end_ : kNever;
}

void SerialEeprom::OnStart() {
    ++counters().serial.starts;
    phase_ = Phase::Receive;
    bits_ = 0;
    shift_ = 0;
    byte_index_ = 0;
    sda_low = false;
    page_.clear();
}

void SerialEeprom::OnStop(Nanos now) {
    ++counters().serial.stops;
    const bool write_transaction = !read_ && byte_index_ > 1 + settings.address_bytes;
    const bool loaded = write_transaction && !page_.empty() && phase_ != Phase::Idle;
    if (loaded && wp_) {
        CountIgnoredWrite(BoardCounters::kProtected, page_.size());
    } else if (loaded) {
        writing_ = true;
        cycle_data_ = page_;
        cycle_end_ = Later(now, settings.write_cycle);
        next_event = cycle_end_;
        ++counters().write_cycles;
    }
    page_.clear();
    phase_ = Phase::Idle;
    byte_index_ = 0;
    sda_low = false;
}

void SerialEeprom::OnRise(bool sda) {
    if (phase_ == Phase::Receive) {
        shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
        ++bits_;
    } else if (phase_ == Phase::AckIn) {
        master_ack_ = !sda;
    }
}

void SerialEeprom::OnFall(Nanos now) {
    const auto send_next_byte = [&] {
        shift_ = Stuck(memory_[Cell(counter_)]);
        counter_ = (counter_ + 1) % Size();
        phase_ = Phase::Send;
        bits_ = 1;
        sda_low = (shift_ & 0x80) == 0;
    };
    switch (phase_) {
        case Phase::Receive:
            if (bits_ < 8) return;
            if (ByteReceived(now)) {
                ++counters().serial.acks;
                sda_low = true;
                phase_ = Phase::AckOut;
            } else {
                phase_ = Phase::Wait;
            }
            return;
        case Phase::AckOut:
            sda_low = false;
            if (read_) {
                send_next_byte();
            } else {
                phase_ = Phase::Receive;
                bits_ = 0;
                shift_ = 0;
            }
            return;
        case Phase::Send:
            if (bits_ == 8) {
                sda_low = false;
                phase_ = Phase::AckIn;
                master_ack_ = false;
            } else {
                sda_low = ((shift_ >> (7 - bits_)) & 1) == 0;
                ++bits_;
            }
            return;
        case Phase::AckIn:
            if (master_ack_) {
                send_next_byte();
            } else {
                sda_low = false;
                phase_ = Phase::Wait;
            }
            return;
        case Phase::Idle:
        case Phase::Wait:
            return;
    }
}

bool SerialEeprom::ByteReceived(Nanos now) {
    const std::uint8_t byte = shift_;
    const int index = byte_index_++;
    if (index == 0) {
        ++counters().serial.device_bytes[byte];
        if (settings.never_ack || (byte & 0xF0) != 0xA0) return false;
        const std::uint8_t select = (byte >> 1) & 0x07;
        if ((select & settings.pin_mask) != (pins_ & settings.pin_mask)) return false;
        if (writing_ && now < cycle_end_) {  // busy writing
            ++counters().serial.busy_nacks;
            return false;
        }
        read_ = (byte & 1) != 0;
        if (!read_) block_ = select & ~settings.pin_mask & 0x07;
        return true;
    }
    if (read_) return false;  // the master does not send while reading
    if (index <= settings.address_bytes) {
        if (settings.address_bytes == 1) {
            counter_ = ((block_ << 8) | byte) % Size();
        } else if (index == 1) {
            counter_ = static_cast<std::uint32_t>(byte) << 8;
        } else {
            counter_ = (counter_ | byte) % Size();
        }
        return true;
    }
    page_.emplace_back(counter_, byte);
    const std::uint32_t mask = settings.page_size - 1;
    counter_ = (counter_ & ~mask) | ((counter_ + 1) & mask);
    return true;
}

void SerialEeprom::FinishCycle() {
    for (const auto& [address, data] : cycle_data_) {
        if (Programmable(address)) memory_[address] = data;
    }
    cycle_data_.clear();
    writing_ = false;
}

}  // namespace moltrix::sim
