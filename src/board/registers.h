#pragma once
// The board's five write-only 8-bit latches behind their shadow copies, the
// per-model strobe codes, and the busy-wait delays that pace every access.
//
// Register contents (bit 0 = least significant):
//   reg 0  b0-1 programming-voltage level on models 5/6 (10b 21 V, 11b 25 V, 00b otherwise)
//          b2 set by the EPROM routines on model 4    b3 board LED (1 = on)
//          b4-5 per-device programming-voltage routing  b6 OE line (1 = inactive)
//          b7 programming voltage on the OE pin (1 = applied)
//   reg 1  address bits 8-15 through the middle-byte map, OR the device's extra bits
//   reg 2  address bits 0-7
//   reg 3  b0-3 address bits 16 and up through the high-byte map (b2 doubles as a
//          program/write strobe)   b4-5 the device's extra bits   b6 register-4
//          output enable (0 = reg 4 drives the data lines)   b7 CE (0 = selected)
//   reg 4  the byte offered to the device's data lines
//
// A register write: the shadow byte to the data port, the register's idle code
// to the control port, its pulse code, and its idle code again; the board
// latches on the trailing edge of the pulse.
#include <array>
#include <climits>
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::board {

struct StrobeCodes {
    std::array<std::int16_t, 5> idle{};
    std::array<std::int16_t, 5> pulse{};
    std::int16_t nibbleLow = 0, nibbleHigh = 0;
};

class Registers {
public:
    explicit Registers(Programmer& p);

    // Port addresses: data, status (+1) and control (+2); 0 means none. A
    // PCI or PCIe card sits anywhere up to FFFFh, so they are unsigned.
    std::uint16_t PortBase = 0, PortStatus = 0, PortControl = 0;
    std::int16_t BoardModel = 0;  // 0 none, 4, 5 or 6
    std::int16_t Reg0 = 0, Reg1 = 0, Reg2 = 0, Reg3 = 0, Reg4 = 0;

    std::array<std::int16_t, 5> StrobeIdle{}, StrobePulse{};
    std::int16_t NibbleSelLow = 0, NibbleSelHigh = 0;
    StrobeCodes Model4Codes, Model56Codes;

    std::int32_t SettleFactor = 0, PulseFactor = 0, LongFactor = 0;
    std::int32_t StrobeDelayCount = 0, PulseDelayCount = 0, LongDelayCount = 0;
    std::int16_t EraseMode = 0;
    // The longest busy wait a register write may make now: unbounded, except
    // inside a chip's byte-load window (programming/chip_timing.h).
    std::int32_t WaitCap = INT32_MAX;

    void InitStrobeTables();
    void SetupPortModel();
    // The data port address; the status and control ports follow it. The
    // port left behind is released, so the program holds at most the port it
    // works on.
    void SetPortBase(std::uint16_t base);

    void SetReg0();
    void SetReg1();
    void SetReg2();
    void SetReg3();
    void SetReg4();
    void Reset();

    void REG4ON();
    void REG4OFF();
    void VPP24_ON();
    void VPP24_OFF();
    void LedOn();
    void LedOff();
    void BlinkProgramLamp();

    // Busy waits through the platform clock, in loop passes.
    void StrobeDelay() const { Spin(StrobeDelayCount < WaitCap ? StrobeDelayCount : WaitCap); }
    void PulseDelay() const { Spin(PulseDelayCount); }
    void LongDelay() const { Spin(LongDelayCount); }
    void Delay20() const { Spin(20); }
    void Delay10() const { Spin(10); }
    void WaitSettlingTime() const { Spin(SettleFactor * 100); }

    // Raw port access, for the read-back, the presence test and the flash
    // command writer, which put their own codes on the control port.
    void OutData(std::uint8_t v);
    void OutControl(std::uint8_t v);
    std::uint8_t InStatus();

private:
    void Spin(std::int32_t passes) const;
    void WriteRegister(int n, std::int16_t shadow);
    Programmer& p_;
};

}  // namespace moltrix::board
