#pragma once
// Programming of the 29F0x0-class flash memories ("FM", "FL", "FR", "FS"):
// byte by byte with the program command, each byte read back.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class FlashRoutines {
public:
    // Registers the routine with the program command.
    explicit FlashRoutines(Programmer& p);

    // Writes CodeSize bytes, rounded up to whole 256-byte pages.
    void ProgramFlash();
    // Reads the byte just written back into DataIn; PollCount 0 when it
    // matches DataOut. A byte still programming is polled on DQ7 until it is
    // done, at most the datasheet's byte program time.
    void PollFlashByte();

private:
    // A chip that gave up on a byte (DQ5, "exceeded timing limits") answers
    // status at every address until a reset command; after it the byte at
    // Address is read once more, so DataIn is what the cell holds.
    void ReadModeAfterFailedByte();

    Programmer& p_;
};

}  // namespace moltrix::programming
