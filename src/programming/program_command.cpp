#include "programming/program_command.h"

#include "operations/device_walk.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::int16_t kNoRoutine = 9;
}  // namespace

ProgramCommand::ProgramCommand(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.Program_button.onClick = [this] { Program_button_Click(); };
    f.menuProgramCode.onClick = [this] { Program_button_Click(); };
    f.menuProgramData.onClick = [this] { ProgramDataArea(); };
}

void ProgramCommand::Register(std::initializer_list<const char*> types, std::function<void()> routine) {
    for (const char* t : types) routines_[t] = routine;
}

void ProgramCommand::Program_button_Click() {
    auto& f = p_.form;
    const feedback::Outcomes::Command command(p_.outcome);
    f.VScroll1.SetValue(0);
    p_.addr.Address = 0;
    p_.addr.Endereco2Adr();
    if (f.CheckCode.value == 1) ProgramDevice();
    if (f.CheckData.value == 1) ProgramDataArea();
}

void ProgramCommand::ProgramDataArea() {
    p_.svc.dialogs.MessageBox("Please Write A90S2313 Program Data Routine", "", platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

void ProgramCommand::ProgramDevice() {
    auto& f = p_.form;
    const auto& sel = p_.selection;
    p_.log.AddLogLine("Programming Button Pressed");
    // Cancel is the default: Return alone never writes the chip.
    const auto answer =
        only_ && !askOnly_ ? platform::MsgResult::Ok
                           : p_.svc.dialogs.MessageBox("Program the Device?", "Safety Question", platform::MsgIcon::Question,
                                                       platform::MsgButtons::OkCancel, platform::MsgDefault::Second);
    if (answer != platform::MsgResult::Ok) {
        p_.log.AddLogLine("Programming was Canceled by Operator");
        p_.outcome.Note(feedback::Outcome::Cancelled);
        PutBoardToRest();
        return;
    }
    // A failed blank check has reported itself; programming goes on.
    if (f.CheckBlankPriorProgramming.value == 1 && sel.DeviceFamily != "S" && !only_) p_.checks.Blank_button_Click();

    p_.image.BuildProgramImage();
    if (only_) {
        auto& bytes = p_.image.ProgramImage;
        for (std::size_t i = 0; i < static_cast<std::size_t>(p_.image.ImageSize); ++i)
            if (i >= only_->size() || !(*only_)[i]) bytes[i] = 0xFF;
    }
    p_.regs.Reset();
    p_.addr.SETADR();
    p_.svc.clock.Sleep(operations::kSettleMs);
    p_.progress.Start(static_cast<std::int16_t>(p_.image.ImageSize / 99));
    p_.progress.SetValue(0);
    p_.lamps.DataFlowLampOn();
    p_.lamps.ProgramLampOn();
    ProgramFailed = 0;
    ProgramStatus = kNoRoutine;
    if (auto routine = routines_.find(sel.DeviceType); routine != routines_.end()) {
        ProgramStatus = 1;
        routine->second();
    }
    if (sel.DeviceFamily == "S" && p_.serialBus.AckError != 0) {
        p_.checks.ReportNoAck();
        ProgramFailed = 1;
    }
    if (ProgramFailed == 0 && ProgramStatus == 1) {
        p_.log.AddLogLine("Programming Device Successfull");
        p_.lamps.DataFlowLampOff();
        p_.lamps.ProgramLampOff();
        p_.cues.PlayCue("OK");
    }
    if (ProgramStatus == kNoRoutine) {
        p_.outcome.Note(feedback::Outcome::Unsupported);
        p_.log.AddLogLine("Device Not Supported - Status 9 - Please Report");
        p_.cues.PlayCue("ERROR");
    }
    p_.regs.Reg0 = 0x40;
    p_.regs.SetReg0();
    p_.progress.SetValue(0);
    if (f.VerifyAfterProgramming.value == 1 && ProgramFailed == 0 && !only_) p_.checks.Verify_button_Click();
    PutBoardToRest();
}

void ProgramCommand::ProgramOnly(const std::vector<bool>& rewrite, bool ask) {
    const feedback::Outcomes::Command command(p_.outcome);
    only_ = &rewrite;
    askOnly_ = ask;
    Program_button_Click();
    only_ = nullptr;
}

void ProgramCommand::PutBoardToRest() {
    if (p_.selection.DeviceFamily == "S")
        p_.addr.SerialLinesAtRest();
    else
        p_.regs.Reset();
}

void ProgramCommand::ReadBackByte() {
    auto& r = p_.regs;
    r.Reg4 = 0xFF;
    r.SetReg4();
    r.Delay10();
    r.REG4OFF();
    r.Delay10();
    p_.addr.GetNibbles();
}

void ProgramCommand::ReportProgramFailure() {
    auto& r = p_.regs;
    p_.outcome.Note(feedback::Outcome::ProgramFailed);
    r.Reg0 = 0;
    r.SetReg0();
    p_.addr.CEOFF();
    p_.addr.OEOFF();
    p_.log.AddLogLine("*** Programming Failure ***");
    p_.log.AddLogLine("*** Address:" + feedback::HexText(static_cast<unsigned>(p_.addr.Address)) + "h, Programming BYTE:" +
                      feedback::HexText(DataOut) + "h, Read BYTE:" + feedback::HexText(p_.addr.DataIn) + "h");
    p_.log.AddLogLine("*** Aborting Programming.");
    p_.alert.RaiseErrorAlert();
    p_.lamps.ProgramLampOn();
    ProgramFailed = 1;
    p_.cues.PlayCue("ERROR");
    p_.alert.ShowErrorAlert();
}

}  // namespace moltrix::programming
