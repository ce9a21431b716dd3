#pragma once
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::feedback {

// The progress bar (0 to 100) and the two counters that pace it.
class Progress {
public:
    explicit Progress(Programmer& p);

    // One unit of work done: every ProgressStep calls the bar advances by one,
    // never past its maximum. A step of 0 or less never advances the bar and
    // counts nothing, so the 16-bit counter cannot overflow.
    void GoProgressiveBar1();
    // Sets the step for the next loop and zeroes the count.
    void Start(std::int16_t step);
    void SetValue(double v);
    // A new maximum; a value above it comes down to it.
    void SetMaximum(double m);
    void ResetBar();  // maximum 100, value 0

    std::int16_t ProgressStep = 0;
    std::int16_t ProgressCount = 0;

private:
    Programmer& p_;
};

}  // namespace moltrix::feedback
