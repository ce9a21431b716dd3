#include "sim/page_eeprom.h"

#include "sim/jedec_flash.h"

namespace moltrix::sim {
namespace {

constexpr std::uint8_t kCmdProtect = 0xA0;
constexpr std::uint8_t kCmdExtended = 0x80;
constexpr std::uint8_t kCmdUnprotect = 0x20;
constexpr std::uint8_t kCmdChipErase = 0x10;
constexpr std::uint8_t kCmdProductId = 0x90;
constexpr std::uint8_t kCmdProductIdExit = 0xF0;

}  // namespace

PageEeprom::PageEeprom(std::string name, std::uint32_t size, const PageEepromSettings& s)
    : Chip(std::move(name), size), settings(s) {}

void PageEeprom::Update(const ChipPins& p, Nanos now) {
    pins_ = p;
    if (!p.powered) {
        PowerLost();
        return;
    }
    const bool we_ce_low = p.ce && p.strobe;
    const bool write_low = we_ce_low && !p.oe;
    const bool pulse_ends = we_ce_low_ && !we_ce_low;
    if (pulse_ends && !write_low_) CountIgnoredWrite(BoardCounters::kOeLow);
    we_ce_low_ = we_ce_low;
    if (write_low != write_low_) {
        if (write_low) {
            latched_address_ = p.address;
        } else if (pulse_ends && in_cycle_) {
            CountIgnoredWrite(BoardCounters::kChipBusy);
        } else if (pulse_ends) {
            if (!loading_) loads_.clear();
            loading_ = true;
            last_loaded_ = p.board_drives ? p.data : 0xFF;
            loads_.push_back({static_cast<std::uint16_t>(latched_address_ & 0x7FFF), last_loaded_});
            last_rise_ = now;
        }
        write_low_ = write_low;
        // A fall inside the window holds the load open until the next rise.
        if (loading_) next_event = Later(WindowEnd(), 1);
    }

    const bool reading = p.ce && p.oe && !p.strobe;
    if (reading && !reading_) {
        toggle_ ^= 0x40;
        if (in_cycle_) ++counters().reads_while_busy;
    }
    reading_ = reading;
    Refresh();
}

void PageEeprom::Tick(Nanos now) {
    if (loading_ && now > WindowEnd()) EndLoading(WindowEnd());
    if (in_cycle_ && now >= cycle_end_) FinishCycle();
    next_event = loading_ ? Later(WindowEnd(), 1) : (in_cycle_ ? cycle_end_ : kNever);
    Refresh();
}

Nanos PageEeprom::WindowEnd() const {
    return write_low_ ? kNever : Later(last_rise_, settings.load_window);
}

// Without power the chip forgets loads, command prefixes and product-ID
// mode, and a write cycle that has not finished never does.
void PageEeprom::PowerLost() {
    loads_.clear();
    pending_.clear();
    loading_ = in_cycle_ = product_id_ = write_low_ = we_ce_low_ = reading_ = false;
    pending_erase_chip_ = pending_disable_ = pending_enable_ = false;
    last_loaded_ = 0xFF;
    next_event = kNever;
    drives = false;
}

// Sorts out command prefixes from page data and starts the write cycle.
void PageEeprom::EndLoading(Nanos at) {
    loading_ = false;
    const auto is = [&](std::size_t i, std::uint16_t address, std::uint8_t data) {
        return i < loads_.size() && loads_[i].address == address && loads_[i].data == data;
    };
    const auto prefix = [&](std::size_t i) {
        return is(i, kUnlockAddr1, 0xAA) && is(i + 1, kUnlockAddr2, 0x55) && i + 2 < loads_.size() &&
               loads_[i + 2].address == kUnlockAddr1;
    };
    std::size_t first_data = 0;
    bool prefixed = false;
    pending_erase_chip_ = pending_disable_ = pending_enable_ = false;
    if (prefix(0)) {
        const std::uint8_t command = loads_[2].data;
        ++counters().flash_commands[command];
        if (command == kCmdProtect) {
            pending_enable_ = prefixed = true;
            first_data = 3;
        } else if (command == kCmdExtended && prefix(3)) {
            const std::uint8_t second = loads_[5].data;
            ++counters().flash_commands[second];
            if (second == kCmdUnprotect) {
                pending_disable_ = prefixed = true;
                first_data = 6;
            } else if (second == kCmdChipErase && settings.has_chip_erase) {
                pending_erase_chip_ = true;
                last_loaded_ = 0xFF;  // polling shows the complement of the erased state
                StartCycle(at, settings.chip_erase_time);
                return;
            } else {
                CountIgnoredWrite(BoardCounters::kUnlockAborted, loads_.size());
                return;
            }
        } else if (command == kCmdProductId || command == kCmdProductIdExit) {
            if (settings.has_product_id) product_id_ = command == kCmdProductId;
            return;
        } else {
            CountIgnoredWrite(BoardCounters::kUnlockAborted, loads_.size());
            return;
        }
    }
    if (protection && !prefixed) {  // protected: a write cycle that changes nothing
        CountIgnoredWrite(BoardCounters::kProtected, loads_.size());
        last_loaded_ = loads_.back().data;
        StartCycle(at, settings.write_cycle);
        return;
    }
    pending_.assign(loads_.begin() + static_cast<std::ptrdiff_t>(first_data), loads_.end());
    last_loaded_ = pending_.empty() ? 0xFF : pending_.back().data;
    if (!pending_.empty()) {
        const std::uint32_t page = (pending_.front().address & ~(kPageSize - 1)) % memory_.size();
        for (const Load& l : pending_) CountProgramOp(page + (l.address & (kPageSize - 1)));
    }
    StartCycle(at, settings.write_cycle);
}

void PageEeprom::StartCycle(Nanos at, Nanos length) {
    in_cycle_ = true;
    cycle_end_ = Later(at, length);
    ++counters().write_cycles;
}

void PageEeprom::FinishCycle() {
    in_cycle_ = false;
    if (pending_erase_chip_) EraseCells();
    if (!pending_.empty()) {
        const std::uint32_t page = (pending_.front().address & ~(kPageSize - 1)) % memory_.size();
        if (settings.erase_unloaded) {
            std::vector<bool> loaded(kPageSize, false);
            for (const Load& l : pending_) loaded[l.address & (kPageSize - 1)] = true;
            for (std::uint32_t i = 0; i < kPageSize; ++i) {
                if (!loaded[i] && Programmable(page + i)) {
                    memory_[page + i] = 0xFF;
                    ++counters().unloaded_bytes_erased;
                }
            }
        }
        for (const Load& l : pending_) {
            const std::uint32_t address = page + (l.address & (kPageSize - 1));
            if (Programmable(address)) memory_[address] = l.data;
        }
    }
    if (pending_enable_) protection = true;
    if (pending_disable_) protection = false;
    pending_.clear();
}

void PageEeprom::Refresh() {
    drives = reading_;
    if (in_cycle_) {
        out = static_cast<std::uint8_t>((~last_loaded_ & 0x80) | toggle_);
    } else if (product_id_ && (pins_.address & 0x7FFF) < 2) {
        out = (pins_.address & 1) ? settings.device : settings.maker;
    } else {
        out = memory_[Cell(pins_.address)];
    }
}

std::string PageEeprom::StateText() const { return std::string("protection=") + (protection ? "1" : "0") + "\n"; }

void PageEeprom::ApplyState(const std::string& text) {
    if (text.find("protection=1") != std::string::npos) protection = true;
    if (text.find("protection=0") != std::string::npos) protection = false;
}

}  // namespace moltrix::sim
