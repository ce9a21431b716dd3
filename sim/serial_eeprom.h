#pragma once
#include <cstdint>
#include <vector>

#include "sim/chip.h"

namespace moltrix::sim {

// Datasheet write cycle: 5 ms default, 10 ms at most.
inline constexpr Nanos kSerialWriteCycleTypical = 5 * kMillisecond;
inline constexpr Nanos kSerialWriteCycleMax = 10 * kMillisecond;

struct SerialEepromSettings {
    int address_bytes = 1;      // 1 (24C08, 24C16) or 2 (24C32)
    std::uint32_t page_size = 16;
    std::uint8_t pin_mask = 0;  // device-byte bits 1-3 that must match the A0-A2 pins
    Nanos write_cycle = kSerialWriteCycleTypical;
    Nanos power_up = 1 * kMillisecond;
    bool never_ack = false;     // fault: the chip acknowledges nothing
};

// A 24C08 / 24C16 / 24C32 two-wire EEPROM, a bus slave.
//
// Start: SDA falls while SCL is high; stop: SDA rises while SCL is high.
// Bits are taken on the rising SCL edge, most significant first. After the
// 8th bit's falling edge the receiver pulls SDA low through the 9th clock and
// lets go after the 9th falling edge. When reading, the chip puts each next
// bit out after a falling edge; without the master's acknowledge it lets go
// and waits for a stop.
//
// Device byte 1010 xyz R/W: for the 24C08 z,y are a9,a8 and x must match the
// A2 pin; for the 24C16 xyz are a10-a8; for the 24C32 xyz must match the
// A2-A0 pins and two word-address bytes follow (high first).
// Page writes wrap inside the page; the write cycle starts at the stop and
// the chip acknowledges nothing while it runs. Sequential reads run across
// the 256-byte blocks and roll over from the last address to 0. With WP high
// a write is acknowledged but changes nothing. Without power the chip
// forgets the transaction (an unfinished write cycle is lost); it answers
// `power_up` after its supply rises. A stop the master makes while the chip
// holds SDA low (inside an acknowledge or a 0 bit) never reaches the line.
class SerialEeprom : public Chip {
public:
    SerialEeprom(std::string name, std::uint32_t size, const SerialEepromSettings& settings);

    void Update(const ChipPins& pins, Nanos now) override;
    void Tick(Nanos now) override;

    SerialEepromSettings settings;

private:
    enum class Phase : std::uint8_t {
        Idle,       // waiting for a start
        Receive,    // shifting in a byte from the master
        AckOut,     // the chip holds SDA low for the 9th clock
        Send,       // shifting a byte out
        AckIn,      // the master's acknowledge clock after a byte sent
        Wait,       // not addressed / no acknowledge: ignore until start or stop
    };

    void OnStart();
    void OnStop(Nanos now);
    void OnRise(bool sda);
    void OnFall(Nanos now);
    bool ByteReceived(Nanos now);  // true = acknowledge
    void FinishCycle();

    Phase phase_ = Phase::Idle;
    int bits_ = 0;
    std::uint8_t shift_ = 0;
    int byte_index_ = 0;        // bytes of this transaction so far
    bool read_ = false;
    bool master_ack_ = false;
    std::uint32_t counter_ = 0; // the chip's address counter
    std::uint32_t block_ = 0;   // block bits from the device byte
    std::vector<std::pair<std::uint32_t, std::uint8_t>> page_;  // loaded bytes
    bool writing_ = false;
    Nanos cycle_end_ = 0;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> cycle_data_;

    bool powered_ = false;
    Nanos ready_at_ = 0;
    bool scl_ = true;
    bool sda_ = true;          // the line, after the wired-AND
    bool master_sda_ = true;   // the board's side of it
    bool wp_ = false;
    std::uint8_t pins_ = 0;
};

}  // namespace moltrix::sim
