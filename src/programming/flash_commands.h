#pragma once
// The software command writer of the electrically erasable parallel parts:
// the unlock cycles (AAh to 5555h, 55h to 2AAAh) and a command byte, on the
// 32-pin flash socket and on the 28-pin path of the AT29C256; the flash
// write-enable line; one byte-program command.
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class FlashCommands {
public:
    explicit FlashCommands(Programmer& p);

    // The command byte the next FlashCommand sends: 90h identification, F0h
    // read mode, 80h then 10h chip erase, A0h byte program.
    std::int16_t FlashCmd = 0;
    // The address of one 28-pin write cycle: 5555h or 2AAAh.
    std::uint16_t CmdAddress = 0;
    // Polls left in the erase and programming status loops.
    std::int32_t PollCount = 0;

    // The three-cycle command FlashCmd; through CommandAT29C256 for "FA".
    void FlashCommand();
    void CommandAT29C256();
    // One write cycle on the 28-pin path: data in Reg4, address in CmdAddress.
    void WriteCycleAT29C256();
    // The 32-pin flash write-enable line (register-3 bit 2).
    void FlashWeLow();
    void FlashWeHigh();
    // The byte-program command and the write of the image byte at Address.
    void ProgramFlashByte();

    // Service entries for the bench: a lone F0h write at the current address
    // (no unlock), and the byte-program command repeated at one address
    // (the slider position times 1000) as a signal to measure.
    void ResetFlash_Click();
    void LoopFlashTest_Click();

private:
    // Value into board register n with no strobe delay and no shadow update.
    void DirectLatch(int n, std::uint8_t value);
    Programmer& p_;
};

}  // namespace moltrix::programming
