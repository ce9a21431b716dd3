#pragma once
// How long the EPROM routines' programming pulse lasts. By default it is the
// speed slider's busy waits (PulseDelay, and from the 56th pulse LongDelay as
// well). On request it is the datasheets' width in microseconds instead: 100
// us for the 12.5 V CMOS parts, 50 us for the 27C080 group, 1 ms for the NMOS
// parts at 21 V or 25 V, and from the 56th pulse five times that added (the
// ratio of the long and pulse factors). The width counts from the register
// write that starts the pulse to the one that ends it, whose strobe waits
// are taken off the wait; only its port accesses (a few microseconds) come
// on top, or more where the slider's strobe waits alone outlast the width
// (NMOS parts below slider 10). The 2732 routine keeps its 5 ms pulse. The window's "Datasheet Pulse Width" entry (Tools menu) is
// remembered between runs; the command line's --pulse sets it for one run.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class PulseWidth {
public:
    static constexpr std::int32_t kSlider = 0;      // the slider's delays
    static constexpr std::int32_t kDatasheet = -1;  // the part's datasheet width

    explicit PulseWidth(Programmer& p);

    // kSlider, kDatasheet, or a width in microseconds for every part.
    void Set(std::int32_t micros);
    std::int32_t Asked() const { return asked_; }
    // The pulse for the selected part in microseconds; 0 when the slider's
    // delays time it.
    std::int32_t PulseMicros() const;
    // One pulse's wait, lengthened from the 56th pulse on.
    void Wait(bool longPulse);

    void mnuToolsDatasheetPulse_Click();

private:
    Programmer& p_;
    std::int32_t asked_ = kSlider;
};

}  // namespace moltrix::programming
