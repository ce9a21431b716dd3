#pragma once
// Programming of the 5 V page-write parts, the Atmel AT29C256 ("FA") and the
// XICOR X28C256 ("EN"): software data protection switched off, then 512 pages
// of 64 bytes, each loaded back to back, its write cycle waited for and the
// page verified, a page that does not verify loaded again. The X28C256 erase
// writes an all-FFh image the same way.
#include <cstdint>
#include <functional>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class PageWriteRoutines {
public:
    // Registers the routines with the program command.
    explicit PageWriteRoutines(Programmer& p);

    void ProgramAT29C256();
    void UnprotectAT29C256();
    // Polls the page's last byte until it reads back as DataOut once the
    // write cycle has begun; PollCount 0 means time-out.
    void PollAT29C256();

    void ProgramXicor();
    void UnprotectXicor();
    // One write cycle: data in Reg4, address in CmdAddress.
    void WriteCycleXicor();
    void EraseXicor();
    void Delay300() const;

private:
    // Address 0 and the power-up wait, the log line, the board reset, software
    // data protection switched off, the bar set for 512 pages.
    void StartPages(const char* logLine, bool xicor);
    // Register 1 for the page's row, written only when it changes.
    void SelectRow(std::int16_t reg1);
    // Address to the byte, its low part on register 2 (the page's row is loaded).
    void SelectByte(std::int32_t address);
    // The slider pause: 0 ms at the fastest setting.
    int SliderPauseMs() const;
    // The try of a page: budget spent, the pause, register 4 driving. False
    // when the budget is gone (the failure is reported).
    bool StartTry(std::int16_t& budget);
    enum class Try { Verified, Retry, Abort };
    // The 512 pages, each tried until `tryPage` verifies it or the budget is
    // gone; the program lamp blinks every eighth page. False when stopped.
    bool WritePages(std::int16_t budget, const std::function<Try(int page)>& tryPage);
    // One byte of a page load: DataOut on register 4, CE, a pulse of the
    // write-enable bit of register 1, CE released.
    void LoadByte(std::int16_t writeEnable);
    // Waits until DQ7 of the last loaded byte shows the write cycle ended.
    void WaitXicorWriteCycle();
    Programmer& p_;
};

}  // namespace moltrix::programming
