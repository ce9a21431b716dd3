#pragma once
// The five UV EPROM routines, one per group of pin-compatible parts. Each
// byte gets pulses until it reads back right, at most 254: a budget of 255
// counted down before every pulse. From the 56th pulse on a pulse is
// lengthened by the long delay.
#include <cstdint>
#include <functional>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class EpromRoutines {
public:
    // Registers the routines with the program command.
    explicit EpromRoutines(Programmer& p);

    void P2732();       // "P1": VPP on OE, CE pulse of 5 ms
    void P2764_128();   // "P2", "P3": program-enable pulse on register-1 bit 6
    void P27256_040();  // "P4", "P8": CE pulse
    void P27080();      // "P5", "P9": VPP on OE, CE pulse
    void P27010_020();  // "P6", "P7": program-enable pulse on register-3 bit 2

private:
    struct Steps {
        int blinkPeriod;
        std::function<void()> preRead;    // leaves the chip's byte in DataIn
        std::function<void()> enterByte;  // before the first pulse of a byte
        std::function<void(bool longPulse)> pulse;  // one pulse and the read-back
    };
    void ProgramBytes(const Steps& steps);
    // Register 0 for the routine: the model's base, the voltage routing bits,
    // and on models 5/6 the 21 V / 25 V level where the routine offers it.
    std::int16_t Register0(std::int16_t routing, bool levels) const;
    // REG4ON, CE and OE inactive, register 0 for the routine.
    void SetUp(std::int16_t routing, bool levels);
    // Register 4 drives DataOut onto the data lines.
    void OfferDataOut();
    // After a pulse: the lines settle, OE active for the read-back, inactive again.
    void ReadBackWithOe();
    void PulseWait(bool longPulse);
    void SettleHighVoltage();
    Programmer& p_;
};

}  // namespace moltrix::programming
