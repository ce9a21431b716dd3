#pragma once
#include <cstdint>

#include "sim/chip.h"

namespace moltrix::sim {

// Command addresses as seen on A0-A14 (higher lines are ignored).
inline constexpr std::uint16_t kUnlockAddr1 = 0x5555;  // first and third cycle
inline constexpr std::uint16_t kUnlockAddr2 = 0x2AAA;  // second cycle

// Datasheet byte program time: typical and maximum.
inline constexpr Nanos kFlashProgramTypical = 7 * kMicrosecond;
inline constexpr Nanos kFlashProgramMax = 300 * kMicrosecond;

struct JedecFlashSettings {
    std::uint8_t maker = 0x01;
    std::uint8_t device = 0xA4;
    // Most bytes program in `program_time`; one in `slow_byte_one_in` (drawn
    // from `seed`, 0 for none) takes longer, up to `program_time_max`.
    Nanos program_time = kFlashProgramTypical;
    Nanos program_time_max = kFlashProgramMax;
    std::uint32_t slow_byte_one_in = 100;
    std::uint64_t seed = 1;
    Nanos erase_time = 8 * kSecond;  // kNever: an erase that never ends
};

// A 29F010 / 29F020 / 29F040 class flash memory. A write cycle is WE and CE
// both low with OE high: the address is taken when the later of the two
// falls, the data when the first one rises, and that rise is the write.
//
// Commands (three cycles: AAh to 5555h, 55h to 2AAAh, command to 5555h; a
// wrong address or byte during the unlock, the one after 80h included,
// returns to read mode):
//   90h autoselect: address 0 reads the maker code, address 1 the device code
//   F0h reset to read mode (a lone F0h write does it too)
//   A0h byte program: the next write programs that address (cell AND data)
//   80h then AAh, 55h, 10h: chip erase
// While a program or erase runs, every read gives DQ7 = complement of the
// data's bit 7 (0 while erasing) and DQ6 toggling with each read cycle
// (CE or OE falling); writes are ignored. A WE pulse while OE is low is no
// write.
// A program the chip cannot complete (a bit asked to go from 0 to 1, a dead
// cell) runs to the datasheet's longest byte program time and gives up; an
// erase that leaves a cell unerased gives up at its end. Then DQ5 ("exceeded
// timing limits") reads 1 as well, the chip keeps answering status at every
// address, and it ignores every write but a reset (F0h, alone or as the third
// cycle of a command), which returns it to read mode.
class JedecFlash : public Chip {
public:
    JedecFlash(std::string name, std::uint32_t size, const JedecFlashSettings& settings);

    void Update(const ChipPins& pins, Nanos now) override;
    void Tick(Nanos now) override;

    JedecFlashSettings settings;

    // How long a byte program at `address` takes.
    Nanos ProgramTime(std::uint32_t address) const;

private:
    enum class State : std::uint8_t { Read, Unlocked1, Unlocked2, ProgramSetup };
    enum class Job : std::uint8_t { None, Program, Erase };

    void Write(std::uint32_t address, std::uint8_t data, Nanos now);
    void Abort();  // a write the command sequence does not accept
    void Command(std::uint8_t command, Nanos now);
    void Finish();
    void Refresh();

    // Whether a program of `data` at cell `address` leaves the cell holding it.
    bool CanProgram(std::uint32_t address, std::uint8_t data) const;
    bool Erased() const;

    State state_ = State::Read;
    bool erase_armed_ = false;  // 80h seen, waiting for the second unlock and 10h
    bool autoselect_ = false;
    Job job_ = Job::None;
    bool exceeded_ = false;  // job_ gave up: DQ5 set until a reset
    Nanos busy_until_ = 0;
    std::uint32_t job_address_ = 0;
    std::uint8_t job_data_ = 0xFF;
    std::uint8_t toggle_ = 0;
    bool write_low_ = false;   // WE and CE low, OE high: a write in progress
    bool we_ce_low_ = false;   // WE and CE low, whatever OE does
    bool reading_ = false;
    std::uint32_t latched_address_ = 0;
    ChipPins pins_;
};

}  // namespace moltrix::sim
