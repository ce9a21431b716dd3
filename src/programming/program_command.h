#pragma once
// The program command: the safety question, the optional blank check before
// and verify after, the programming image, and the dispatch by type code to
// the one routine that writes the selected device. Also the failure report
// every routine uses and the read-back the EPROM routines share.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

class ProgramCommand {
public:
    explicit ProgramCommand(Programmer& p);

    // 9 before dispatch (no routine yet), 1 while a routine runs; a routine
    // that refuses the chip sets 0.
    std::int16_t ProgramStatus = 0;
    std::int16_t ProgramFailed = 0;
    // The byte being programmed now.
    std::uint8_t DataOut = 0;

    // The routine of each type code, registered by the routines' owners.
    void Register(std::initializer_list<const char*> types, std::function<void()> routine);

    void Program_button_Click();
    void ProgramDevice();
    // A pass of a refresh of a programmed EPROM: the Program command with its
    // routine, and its safety question when `ask`, but only the image bytes
    // `rewrite` marks are written (the rest count as FFh, which no routine
    // pulses), no blank check before (the chip is not blank) and no verify
    // after (the refresh verifies once, after its last pass).
    void ProgramOnly(const std::vector<bool>& rewrite, bool ask);
    void ProgramDataArea();
    // Releases the data lines and reads the device's into DataIn.
    void ReadBackByte();
    // Voltage off, chip deselected, the three report lines, the alert.
    void ReportProgramFailure();

private:
    void PutBoardToRest();
    const std::vector<bool>* only_ = nullptr;  // set while ProgramOnly runs
    bool askOnly_ = true;
    std::map<std::string, std::function<void()>> routines_;
    Programmer& p_;
};

}  // namespace moltrix::programming
