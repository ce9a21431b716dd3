#include "sim/jedec_flash.h"

namespace moltrix::sim {

JedecFlash::JedecFlash(std::string name, std::uint32_t size, const JedecFlashSettings& s)
    : Chip(std::move(name), size), settings(s) {}

void JedecFlash::Update(const ChipPins& p, Nanos now) {
    pins_ = p;
    if (!p.powered) {
        state_ = State::Read;
        erase_armed_ = autoselect_ = write_low_ = reading_ = false;
        drives = false;
        return;
    }
    const bool write_low = p.ce && p.strobe && !p.oe;
    if (write_low && !write_low_) latched_address_ = p.address;
    if (!write_low && write_low_ && (!p.ce || !p.strobe)) {
        Write(latched_address_, p.board_drives ? p.data : 0xFF, now);
    }
    write_low_ = write_low;

    const bool reading = p.ce && p.oe && !p.strobe;
    if (reading && !reading_) toggle_ ^= 0x40;
    reading_ = reading;
    Refresh();
}

void JedecFlash::Tick(Nanos now) {
    if (job_ != Job::None && now >= busy_until_) Finish();
    next_event = job_ == Job::None ? kNever : busy_until_;
    Refresh();
}

void JedecFlash::Refresh() {
    drives = reading_;
    if (job_ != Job::None) {
        const std::uint8_t dq7 = job_ == Job::Program ? (~job_data_ & 0x80) : 0x00;
        out = static_cast<std::uint8_t>(dq7 | toggle_);
    } else if (autoselect_) {
        switch (pins_.address & 0x03) {
            case 0: out = settings.maker; break;
            case 1: out = settings.device; break;
            default: out = 0x00; break;  // sector protection: none
        }
    } else {
        out = memory_[Cell(pins_.address)];
    }
}

void JedecFlash::Write(std::uint32_t address, std::uint8_t data, Nanos now) {
    if (job_ != Job::None) return;  // busy: ignored
    const std::uint16_t a = address & 0x7FFF;
    switch (state_) {
        case State::ProgramSetup:
            state_ = State::Read;
            job_ = Job::Program;
            job_address_ = Cell(address);
            job_data_ = data;
            busy_until_ = Later(now, settings.program_time);
            next_event = busy_until_;
            return;
        case State::Read:
            if (a == kUnlockAddr1 && data == 0xAA) {
                state_ = State::Unlocked1;
            } else if (data == 0xF0) {
                ++counters().flash_commands[0xF0];
                autoselect_ = erase_armed_ = false;
            } else {
                erase_armed_ = false;  // not the unlock the erase waits for
            }
            return;
        case State::Unlocked1:
            if (a == kUnlockAddr2 && data == 0x55) {
                state_ = State::Unlocked2;
            } else {
                state_ = State::Read;
                autoselect_ = erase_armed_ = false;
            }
            return;
        case State::Unlocked2:
            state_ = State::Read;
            if (a != kUnlockAddr1) {
                autoselect_ = erase_armed_ = false;
                return;
            }
            Command(data, now);
            return;
    }
}

void JedecFlash::Command(std::uint8_t command, Nanos now) {
    ++counters().flash_commands[command];
    const bool armed = erase_armed_;
    erase_armed_ = false;
    autoselect_ = false;
    if (armed) {
        if (command == 0x10) {
            job_ = Job::Erase;
            busy_until_ = Later(now, settings.erase_time);
            next_event = busy_until_;
        }
        return;
    }
    switch (command) {
        case 0x90: autoselect_ = true; break;
        case 0xA0: state_ = State::ProgramSetup; break;
        case 0x80: erase_armed_ = true; break;
        default: break;  // F0h and unknown commands: read mode
    }
}

void JedecFlash::Finish() {
    if (job_ == Job::Program) {
        if (Programmable(job_address_)) memory_[job_address_] &= job_data_;
    } else if (job_ == Job::Erase) {
        EraseCells();
    }
    job_ = Job::None;
}

}  // namespace moltrix::sim
