#pragma once
// The identification code of an electrically erasable parallel part: the
// maker and device bytes it gives in identification mode, the same two
// addresses read back in read mode, and the table of known codes.
#include <cstdint>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class FlashIdentity {
public:
    explicit FlashIdentity(Programmer& p);

    std::int16_t FlashMaker = 0;
    std::int16_t FlashDevice = 0;
    std::string FlashId;     // "1FDC": maker then device, two upper-case hex digits each
    std::string ReadModeId;  // addresses 0 and 1 in read mode, the same way

    // The chip's name for a code of the table, or empty text.
    static std::string KnownChipName(const std::string& flashId);
    // AMIC, AMD, EON or Atmel: the makers the 29F0x0-class routines accept.
    bool MakerAccepted() const;

    // Reads, stores and logs the code (a flash part selected only).
    void ReadFlashId();
    // Identification mode and back, keeping nothing: run when "FA" is selected.
    void ProbeFlashId();
    void menuFlashShowCodeID_Click();

private:
    // CE and OE active, the board's data lines released first where needed.
    void ReadEnable();
    // The data byte at the current address, with CE and OE as they are.
    void ReadAtAddress();
    Programmer& p_;
};

}  // namespace moltrix::programming
