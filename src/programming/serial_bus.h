#pragma once
// The two-wire bus of the 24Cxx serial EEPROMs, made of register writes: the
// clock is the socket's CE line (CEON drives it low, CEOFF high), the data line
// is bit 7 of register 4 while register 4 drives (REG4ON), and the chip's data
// is sampled through the status lines (GetNibbles24CXX, bit 7 of DataIn).
// The byte sent is the program command's DataOut.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class SerialBus {
public:
    explicit SerialBus(Programmer& p);

    // 0 when the last acknowledge was seen; otherwise the failed samples:
    // 200 after SerialWaitAck gave up, up to 50 after a write-cycle poll.
    std::int16_t AckError = 0;

    // Data falls (start) or rises (stop) while the clock is high; both leave
    // the clock low.
    void SerialStart();
    void SerialStop();
    // DataOut, most significant bit first, then SerialWaitAck.
    void SerialSendByte();
    // DataOut, then one sample of the acknowledge 1 ms later without its
    // clock: DataIn is 0 when acknowledged, 80h when not.
    void SerialSendNoWait();
    // Samples the acknowledge up to 200 times 1 ms apart, then gives its clock.
    void SerialWaitAck();
    // Eight bits into DataIn, each sampled while the clock is high.
    void SerialReadByte();

    // Nine clock pulses with the data line released. A chip an earlier command
    // left inside a transaction (a read that ended on an acknowledge, a verify
    // that stopped at a difference, a write cut short) may be holding the data
    // line low, and then no start condition can reach it; the pulses let it
    // finish its byte and let go of the line, so the next start is seen.
    void SerialBusClear();

    // DataOut = v, SerialSendByte; true when the chip acknowledged.
    bool Send(std::uint8_t v);

private:
    void DataEdgeWithClockHigh(std::int16_t before, std::int16_t after);
    // Register 4 driving, DataOut shifted out on eight clock pulses.
    void ClockOutDataOut();
    Programmer& p_;
};

}  // namespace moltrix::programming
