#pragma once
#include <cstdint>
#include <vector>

#include "sim/chip.h"
#include "sim/seeded.h"
#include "sim/socket_profile.h"

namespace moltrix::sim {

// What programming needs, by part group (datasheet figures): the rated
// programming voltage and the summed pulse time a cell needs at it.
struct EpromProgramming {
    std::uint16_t vpp_low_tenths;   // rated voltage, tenths of a volt: lowest ...
    std::uint16_t vpp_high_tenths;  // ... and highest
    Nanos typical_need;
    Nanos max_need;
};

// 2732 (NMOS), 27C32: one 50 ms pulse in the datasheets.
inline constexpr EpromProgramming kEprom25V{250, 250, 20 * kMillisecond, 55 * kMillisecond};
// 2732A, 2764, 27128 (NMOS): "intelligent" 1 ms pulses, up to 15.
inline constexpr EpromProgramming kEprom21V{210, 210, 1 * kMillisecond, 15 * kMillisecond};
// The CMOS parts and the 2732B, 27256: quick-pulse 100 us, up to 25.
inline constexpr EpromProgramming kEprom12V{125, 130, 100 * kMicrosecond, 2500 * kMicrosecond};
// 27C080: 50 us pulses.
inline constexpr EpromProgramming kEprom12VFast{125, 130, 50 * kMicrosecond, 1250 * kMicrosecond};

// Below the rating by more than this a pulse moves no charge; above it by
// more than the other the chip is damaged. Tenths of a volt.
inline constexpr std::uint16_t kUnderVoltageMargin = 5;
inline constexpr std::uint16_t kOverVoltageMargin = 10;

struct EpromSettings {
    EpromProgramming programming = kEprom12V;
    bool hard = false;  // "hard to program": every cell needs the maximum
};

// A UV EPROM (types P1-P9). Reads when powered with CE and OE low, no
// programming voltage on OE and PGM (if it has one) high; parts programmed
// by a CE pulse with the voltage on their VPP pin also drive the bus in
// program-verify (CE high, OE low, voltage on).
//
// Programming is charge, not a count. While the program condition holds
// (powered, CE low, OE high, and PGM low on parts that have one) with the
// programming voltage on the part, every stretch of simulated time between
// two line changes is charged to the address, data and voltage of that
// stretch. At a voltage within the rating the cell adds it to its sum for
// that data; other data starts the sum again; once the sum reaches the
// cell's need the cell becomes cell AND data. Under the rating nothing
// moves; over it the chip is damaged and reads unreliable data from then on.
//
// The need per cell is drawn from the seed around the cell's typical, half
// the datasheet's typical pulse (so that, as the datasheets say, a typical
// byte programs with one pulse): log-uniform between half and twice it for
// most cells, one in 2,000 between 5 and 10 times it; never above the
// datasheet maximum.
//
// Retention faults. A weak bit is a programmed 0 whose charge is nearly
// gone: while the cell holds it as 0, each read cycle of the cell gives it as
// 1 one time in kWeakOneIn, drawn from the seed once per cycle (a cycle runs
// from the chip starting to drive, or the address changing, to the next such
// change, however many status reads the board makes meanwhile). The cell
// taking programming data with that bit 0 heals it, as does UV light. A
// drifted bit has lost its charge: it reads 1 for good, in the cells
// themselves (and so in a saved image); programming can clear it again.
class Eprom : public Chip {
public:
    static constexpr std::uint32_t kSlowCellOneIn = 2000;
    static constexpr std::uint32_t kWeakOneIn = 4;

    Eprom(std::string name, const SocketProfile& profile, const EpromSettings& settings, std::uint64_t seed);

    void Update(const ChipPins& pins, Nanos now) override;

    EpromSettings settings;

    // The pulse time the cell needs within the rating.
    Nanos Need(std::uint32_t address) const;
    void SetNeed(std::uint32_t address, Nanos need);
    bool Damaged() const { return damaged_; }

    // Bench action: UV light. All cells FFh, charge and weak bits forgotten
    // (damage stays).
    void Erase();

    // A weak bit. Throws std::out_of_range for an address outside the chip.
    void SetWeak(std::uint32_t address, int bit);
    bool Weak(std::uint32_t address, int bit) const {
        return address < weak_.size() && (weak_[address] >> bit & 1) != 0;
    }
    // `count` of the chip's 0 bits as it holds them now, chosen by the seed
    // with equal chances, leak to 1 (all of them where it has fewer). What
    // the last Drift() leaked is kept, in address order.
    void Drift(std::uint32_t count);
    const std::vector<CellBit>& drifted() const { return drifted_; }

private:
    enum class Rating : std::uint8_t { Under, Within, Over };
    Rating Rate(std::uint16_t vpp_tenths) const;
    void Hold(std::uint32_t address, std::uint8_t data, std::uint16_t vpp_tenths, bool new_pulse);
    void Charge(Nanos width);
    std::uint8_t DrawWeak(std::uint8_t weak);

    const bool ce_pulse_;
    const bool verify_with_vpp_;
    const std::uint64_t seed_;
    // Per cell, sized on first use: needs set by hand (0 = drawn), and the
    // charge summed for the data it was summed for.
    std::vector<std::uint32_t> need_set_;
    std::vector<std::uint32_t> charge_;
    std::vector<std::uint8_t> charge_data_;
    // The stretch since the last line change.
    bool in_pulse_ = false;
    Nanos since_ = 0;
    std::uint32_t held_address_ = 0;
    std::uint8_t held_data_ = 0xFF;
    Rating held_rating_ = Rating::Within;
    bool address_counted_ = false;
    bool under_counted_ = false;
    bool over_counted_ = false;
    bool damaged_ = false;
    SeededBits noise_;
    // Weak bits per cell (sized on first use), and the read cycle under way:
    // its cell and the weak bits drawn to read 1 in it.
    std::vector<std::uint8_t> weak_;
    bool reading_ = false;
    std::uint32_t read_address_ = 0;
    std::uint8_t weak_ones_ = 0;
    SeededBits weak_noise_;
    std::vector<CellBit> drifted_;
};

}  // namespace moltrix::sim
