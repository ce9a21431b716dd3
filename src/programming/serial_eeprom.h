#pragma once
// The 24C08 ("SA"), 24C16 ("SB") and 24C32 ("SC") serial EEPROMs: page writes
// of the code buffer (all FFh in erase mode), each followed by acknowledge
// polling of the chip's write cycle; the sequential read into the code buffer
// and the sequential verify against it. The socket's OE line powers the chip:
// every routine switches it on and waits 50 ms first.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class SerialEepromRoutines {
public:
    // Registers the write routines with the program and Erase Chip commands
    // and the read and verify with the device checks.
    explicit SerialEepromRoutines(Programmer& p);

    // 16-byte pages, one address byte; the block number (address div 256)
    // goes into bits 1-3 of the device byte.
    void Write24Cxx();
    // 32-byte pages, device byte A0h and two address bytes.
    void Write24C32();
    // CodeSize bytes from address 0 into the code buffer.
    void Read24Cxx();
    // CodeSize bytes from address 0 against the code buffer; the first
    // difference is reported and ends the verify.
    void Verify24Cxx();

private:
    struct Layout;
    void WritePages(const Layout& layout);
    // The chip's internal write cycle: the device byte sent again until the
    // chip acknowledges it, at most 50 times.
    void PollWriteCycle(std::uint8_t deviceByte);
    // Power on (the OE line), the chip's start-up wait, the bus cleared.
    void PowerUp();
    // Power on, then the chip's address counter to 0 and the read device
    // byte; false when the chip did not acknowledge.
    bool StartSequentialRead();
    // One byte in, acknowledged by the board (data line driven low for one clock).
    void ReadNextByte();
    Programmer& p_;
};

}  // namespace moltrix::programming
