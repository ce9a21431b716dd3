#pragma once
#include <cstdint>
#include <vector>

#include "sim/chip.h"

namespace moltrix::sim {

struct PageEepromSettings {
    Nanos load_window = 150 * kMicrosecond;  // next WE low after the previous WE rise
    Nanos write_cycle = 5 * kMillisecond;    // datasheet default; 10 ms at most
    Nanos chip_erase_time = 10 * kMillisecond;  // kNever: an erase that never ends
    bool erase_unloaded = true;    // the cycle erases the whole page first (AT29C256)
    bool has_product_id = true;    // AA/55/90 enters, AA/55/F0 leaves
    bool has_chip_erase = true;    // AA/55/80/AA/55/10
    std::uint8_t maker = 0x1F;
    std::uint8_t device = 0xDC;
};

// A 5 V page-write part: AT29C256 (flash, type FA) or X28C256 (EEPROM, type EN).
//
// A write is WE and CE low with OE high (address at the later fall, data at
// the first rise). Writes load a 64-byte page (A6-A14 the page, A0-A5 the
// byte); each next WE low must come within the load window of the previous
// WE rise, else loading ends and the write cycle starts (a WE low inside the
// window holds the load open however long it lasts). While it runs,
// reads give the complement of the last loaded byte's bit 7 on DQ7 and DQ6
// toggles with each read cycle; writes are ignored.
//
// Software data protection (JEDEC sequences, off when shipped):
//   enable:  AA/5555, 55/2AAA, A0/5555, then the page data
//   disable: AA/5555, 55/2AAA, 80/5555, AA/5555, 55/2AAA, 20/5555; applied
//            at the end of the write cycle it starts, data or not
// While it is on, a load without the enable prefix changes nothing, but the
// chip still runs a write cycle (busy, polling shows it) as its datasheet says.
// A WE pulse while OE is low is no write.
// Without power the chip forgets loads, prefixes and product-ID mode, and an
// unfinished write cycle is lost; it comes back in read mode.
class PageEeprom : public Chip {
public:
    PageEeprom(std::string name, std::uint32_t size, const PageEepromSettings& settings);

    void Update(const ChipPins& pins, Nanos now) override;
    void Tick(Nanos now) override;

    PageEepromSettings settings;
    bool protection = false;  // software data protection on; kept in the chip
    std::string StateText() const override;
    void ApplyState(const std::string& text) override;

    static constexpr std::uint32_t kPageSize = 64;

private:
    struct Load {
        std::uint16_t address;
        std::uint8_t data;
    };
    Nanos WindowEnd() const;  // when the load ends without a next WE fall
    void EndLoading(Nanos at);
    void StartCycle(Nanos at, Nanos length);
    void PowerLost();
    void FinishCycle();
    void Refresh();

    std::vector<Load> loads_;
    bool loading_ = false;
    Nanos last_rise_ = 0;
    // The write cycle in progress.
    std::vector<Load> pending_;
    bool pending_erase_chip_ = false;
    bool pending_disable_ = false;
    bool pending_enable_ = false;
    bool in_cycle_ = false;
    Nanos cycle_end_ = 0;
    std::uint8_t last_loaded_ = 0xFF;

    bool product_id_ = false;
    bool write_low_ = false;   // WE and CE low, OE high: a write in progress
    bool we_ce_low_ = false;   // WE and CE low, whatever OE does
    bool reading_ = false;
    std::uint8_t toggle_ = 0;
    std::uint32_t latched_address_ = 0;
    ChipPins pins_;
};

}  // namespace moltrix::sim
