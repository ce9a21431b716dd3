#pragma once
// Finding the board on the three LPT ports, telling its model, and the board
// set-up file that remembers it.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::board {

class Detection {
public:
    explicit Detection(Programmer& p);

    std::int16_t BoardPort = 0;

    void ReadBoardIni();
    void TestHardware_button_Click();

private:
    Programmer& p_;
};

}  // namespace moltrix::board
