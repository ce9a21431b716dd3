#pragma once
// The Erase Chip command: the chip erase of the flash parts with its safety
// question and status poll, the X28C256 written all FFh, and the serial
// EEPROMs written all FFh by their own routines in erase mode.
#include <cstdint>
#include <functional>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class EraseCommand {
public:
    explicit EraseCommand(Programmer& p);

    // The serial write routines (16-byte and 32-byte pages), set by their
    // owner; in erase mode they write FFh.
    std::function<void()> write24Cxx, write24C32;

    void EraseFlash_button_Click();
    void EraseFlash();      // "FM", "FL", "FR", "FS"
    void EraseAT29C256();   // "FA"

private:
    enum class Path { Flash32Pin, At29c256 };
    void EraseWith(Path path);
    // The safety question; false when the operator cancels (logged).
    bool OperatorAgrees();
    // Polls until a read shows data bit 7 set (erased cells read FFh). Gives
    // up only once `polls` reads are spent and `maxMicros` have passed.
    bool PollErase(std::int32_t polls, std::int64_t maxMicros);
    void ReportSerialErase();
    bool SerialAckError() const;
    Programmer& p_;
};

}  // namespace moltrix::programming
