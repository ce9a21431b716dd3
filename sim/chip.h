#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/chip_pins.h"
#include "sim/counters.h"
#include "sim/sim_time.h"

namespace moltrix::sim {

// One bit of one cell: a fault's place in a chip.
struct CellBit {
    std::uint32_t address = 0;
    int bit = 0;  // 0-7
    friend bool operator==(const CellBit&, const CellBit&) = default;
};

// A memory chip in the socket. The board calls Update() whenever a line
// reaching the chip may have changed, and reads the chip's outputs from the
// plain fields below, so that the per-access path needs no virtual call;
// only when simulated time passes `next_event` does it call Tick(), and it
// always does so before an Update(). Only two-wire chips set `sda_low`, and
// only parallel chips set `drives`.
class Chip {
public:
    Chip(std::string name, std::uint32_t size);
    virtual ~Chip() = default;
    Chip(const Chip&) = delete;
    Chip& operator=(const Chip&) = delete;

    virtual void Update(const ChipPins& pins, Nanos now) = 0;
    // Time reached next_event: finish a cycle, end a load window ...
    virtual void Tick(Nanos now) { (void)now; next_event = kNever; }

    const std::string& Name() const { return name_; }
    std::uint32_t Size() const { return static_cast<std::uint32_t>(memory_.size()); }

    // Contents, for preloading and for checking what was programmed.
    std::vector<std::uint8_t>& Memory() { return memory_; }
    const std::vector<std::uint8_t>& Memory() const { return memory_; }
    void Fill(std::uint8_t value);
    std::uint8_t At(std::uint32_t address) const { return memory_[address % memory_.size()]; }

    // Raw image files. Load fails (returns false, sets error) if the file cannot
    // be read; a shorter file leaves the rest as it was, a longer one is cut.
    // State a chip keeps besides its cells (a page EEPROM's write protection)
    // goes to a small text file beside the image, "<image>.state".
    bool LoadImage(const std::string& path, std::string* error);
    bool SaveImage(const std::string& path, std::string* error) const;
    static std::string StatePath(const std::string& imagePath) { return imagePath + ".state"; }

    // Fault switches common to all chips.
    std::uint8_t stuck_at_0 = 0;  // data lines that always read 0
    std::uint8_t stuck_at_1 = 0;  // data lines that always read 1
    // A cell that never takes a write or pulse. Throws std::out_of_range for
    // an address outside the chip.
    void SetDead(std::uint32_t address);
    bool Dead(std::uint32_t address) const { return address < dead_.size() && dead_[address]; }

    // Non-volatile state besides the cells, as "key=value" lines; empty for none.
    virtual std::string StateText() const { return {}; }
    virtual void ApplyState(const std::string& text) { (void)text; }

    void AttachCounters(BoardCounters* counters) { counters_ = counters ? counters : &own_; }

    // Outputs, read by the board on every status read.
    bool drives = false;        // the chip drives the parallel data bus
    std::uint8_t out = 0xFF;    // ... with this byte (faults not yet applied)
    bool sda_low = false;       // two-wire parts: the chip pulls SDA low
    Nanos next_event = kNever;  // earliest time at which Tick() has work

    std::uint8_t Output() const { return Stuck(out); }

protected:
    // A byte as the chip's data outputs give it, stuck lines applied.
    std::uint8_t Stuck(std::uint8_t value) const {
        return static_cast<std::uint8_t>((value & ~stuck_at_0) | stuck_at_1);
    }
    // An address brought inside the memory (higher lines ignored).
    std::uint32_t Cell(std::uint32_t address) const {
        return address < memory_.size() ? address : static_cast<std::uint32_t>(address % memory_.size());
    }
    bool Programmable(std::uint32_t address) const { return !Dead(address); }
    BoardCounters& counters() { return *counters_; }
    void CountIgnoredWrite(BoardCounters::IgnoredWrite why, std::uint64_t n = 1) {
        counters_->writes_ignored[why] += n;
    }
    void CountProgramOp(std::uint32_t address) { ++counters_->program_ops.Slot(address, Size()); }
    // Whole-chip erase: every programmable cell to FFh.
    void EraseCells() {
        for (std::uint32_t i = 0; i < memory_.size(); ++i) {
            if (Programmable(i)) memory_[i] = 0xFF;
        }
    }

    std::vector<std::uint8_t> memory_;

private:
    std::string name_;
    std::vector<bool> dead_;  // sized to the chip on the first dead cell
    BoardCounters own_;
    BoardCounters* counters_ = &own_;
};

}  // namespace moltrix::sim
