#include "sim/jedec_flash.h"

#include <algorithm>

#include "sim/seeded.h"

namespace moltrix::sim {

JedecFlash::JedecFlash(std::string name, std::uint32_t size, const JedecFlashSettings& s)
    : Chip(std::move(name), size), settings(s) {}

void JedecFlash::Update(const ChipPins& p, Nanos now) {
    pins_ = p;
    if (!p.powered) {
        state_ = State::Read;
        erase_armed_ = autoselect_ = write_low_ = we_ce_low_ = reading_ = false;
        drives = false;
        return;
    }
    const bool we_ce_low = p.ce && p.strobe;
    const bool write_low = we_ce_low && !p.oe;
    if (write_low && !write_low_) latched_address_ = p.address;
    if (!we_ce_low && we_ce_low_) {  // the WE pulse ends
        if (write_low_) Write(latched_address_, p.board_drives ? p.data : 0xFF, now);
        else CountIgnoredWrite(BoardCounters::kOeLow);
    }
    write_low_ = write_low;
    we_ce_low_ = we_ce_low;

    const bool reading = p.ce && p.oe && !p.strobe;
    if (reading && !reading_) {
        toggle_ ^= 0x40;
        if (job_ != Job::None) ++counters().reads_while_busy;
    }
    reading_ = reading;
    Refresh();
}

Nanos JedecFlash::ProgramTime(std::uint32_t address) const {
    const Nanos typical = settings.program_time;
    const Nanos slowest = std::max(typical, settings.program_time_max);
    if (settings.slow_byte_one_in == 0 || slowest == typical) return typical;
    const std::uint64_t draw = Mix(settings.seed ^ Mix(address));
    if (draw % settings.slow_byte_one_in != 0) return typical;
    return typical + (draw >> 20) % (slowest - typical + 1);
}

void JedecFlash::Tick(Nanos now) {
    const bool running = job_ != Job::None && !exceeded_;
    if (running && now >= busy_until_) Finish();
    next_event = job_ == Job::None || exceeded_ ? kNever : busy_until_;
    Refresh();
}

bool JedecFlash::CanProgram(std::uint32_t address, std::uint8_t data) const {
    const std::uint8_t cell = memory_[address];
    return (Programmable(address) ? cell & data : cell) == data;
}

bool JedecFlash::Erased() const {
    return std::all_of(memory_.begin(), memory_.end(), [](std::uint8_t b) { return b == 0xFF; });
}

void JedecFlash::Refresh() {
    drives = reading_;
    if (job_ != Job::None) {
        const std::uint8_t dq7 = job_ == Job::Program ? (~job_data_ & 0x80) : 0x00;
        const std::uint8_t dq5 = exceeded_ ? 0x20 : 0x00;
        out = static_cast<std::uint8_t>(dq7 | toggle_ | dq5);
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
    if (job_ != Job::None) {
        if (exceeded_ && data == 0xF0) {
            ++counters().flash_commands[0xF0];
            job_ = Job::None;
            exceeded_ = false;
            state_ = State::Read;
            autoselect_ = erase_armed_ = false;
            return;
        }
        CountIgnoredWrite(BoardCounters::kChipBusy);
        return;
    }
    const std::uint16_t a = address & 0x7FFF;
    switch (state_) {
        case State::ProgramSetup:
            state_ = State::Read;
            job_ = Job::Program;
            job_address_ = Cell(address);
            job_data_ = data;
            CountProgramOp(job_address_);
            busy_until_ = Later(now, CanProgram(job_address_, data)
                                         ? ProgramTime(job_address_)
                                         : std::max(settings.program_time, settings.program_time_max));
            next_event = busy_until_;
            return;
        case State::Read:
            if (a == kUnlockAddr1 && data == 0xAA) {
                state_ = State::Unlocked1;
            } else if (data == 0xF0) {
                ++counters().flash_commands[0xF0];
                autoselect_ = erase_armed_ = false;
            } else {
                CountIgnoredWrite(BoardCounters::kUnlockAborted);
                erase_armed_ = false;  // not the unlock the erase waits for
            }
            return;
        case State::Unlocked1:
            if (a == kUnlockAddr2 && data == 0x55) {
                state_ = State::Unlocked2;
            } else {
                Abort();
            }
            return;
        case State::Unlocked2:
            if (a != kUnlockAddr1) {
                Abort();
                return;
            }
            state_ = State::Read;
            Command(data, now);
            return;
    }
}

void JedecFlash::Abort() {
    CountIgnoredWrite(BoardCounters::kUnlockAborted);
    state_ = State::Read;
    autoselect_ = erase_armed_ = false;
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
        } else {
            CountIgnoredWrite(BoardCounters::kUnlockAborted);
        }
        return;
    }
    switch (command) {
        case 0x90: autoselect_ = true; break;
        case 0xA0: state_ = State::ProgramSetup; break;
        case 0x80: erase_armed_ = true; break;
        case 0xF0: break;  // read mode
        default: CountIgnoredWrite(BoardCounters::kUnlockAborted); break;
    }
}

void JedecFlash::Finish() {
    bool done = true;
    if (job_ == Job::Program) {
        done = CanProgram(job_address_, job_data_);
        if (Programmable(job_address_)) memory_[job_address_] &= job_data_;
    } else if (job_ == Job::Erase) {
        EraseCells();
        done = Erased();
    }
    if (done)
        job_ = Job::None;
    else
        exceeded_ = true;
}

}  // namespace moltrix::sim
