#include "programming/erase_command.h"

#include "programming/chip_timing.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::int32_t kFlashErasePolls = 400000;
constexpr std::int32_t kAt29c256ErasePolls = 50000;
constexpr int kAt29c256EraseStartMs = 20;
}  // namespace

EraseCommand::EraseCommand(Programmer& p) : p_(p) {
    p_.form.EraseFlash_button.onClick = [this] { EraseFlash_button_Click(); };
    p_.form.menuEraseFlash.onClick = [this] { EraseFlash_button_Click(); };
}

void EraseCommand::EraseFlash_button_Click() {
    const auto& sel = p_.selection;
    const feedback::Outcomes::Command command(p_.outcome);
    p_.regs.EraseMode = 1;
    if (sel.TypeIs({"EN"})) p_.pages.EraseXicor();
    if (sel.TypeIs({"FM", "FL", "FR", "FS"})) EraseFlash();
    if (sel.TypeIs({"FA"})) EraseAT29C256();
    if (sel.DeviceFamily != "S") return;
    if (!write24Cxx || !write24C32) {
        p_.outcome.Note(feedback::Outcome::Unsupported);
        return;
    }
    // A parallel part's work may have left registers 1 and 2 on the 8-pin
    // part's ground, write-protect and address pins.
    p_.addr.SerialLinesAtRest();
    if (sel.TypeIs({"SA", "SB"})) write24Cxx();
    // The 24C16 goes through both routines; a chip that stopped answering in
    // the first is not written over by the second, which would end with the
    // acknowledge error cleared. The 24C32 runs only the second, whatever an
    // earlier command's acknowledge was.
    const bool firstFailed = sel.TypeIs({"SB"}) && SerialAckError();
    if (sel.TypeIs({"SB", "SC"}) && !firstFailed) write24C32();
    ReportSerialErase();
}

void EraseCommand::ReportSerialErase() {
    auto& r = p_.regs;
    auto& cmd = p_.program;
    if (SerialAckError()) {
        p_.checks.ReportNoAck();
        cmd.ProgramFailed = 1;
        return;
    }
    p_.log.AddLogLine("Programming Device Successfull");
    p_.lamps.DataFlowLampOff();
    p_.lamps.ProgramLampOff();
    p_.cues.PlayCue("OK");
    r.Reg0 = 0x40;
    r.SetReg0();
    p_.progress.SetValue(0);
    p_.addr.SerialLinesAtRest();
}

bool EraseCommand::SerialAckError() const { return p_.serialBus.AckError != 0; }

bool EraseCommand::OperatorAgrees() {
    p_.log.AddLogLine("Flash Erase Button Pressed");
    // Cancel is the default: Return alone never erases the chip.
    const auto answer =
        p_.svc.dialogs.MessageBox("Are you SURE about Erase the Device?", "Safety Question", platform::MsgIcon::Question,
                                  platform::MsgButtons::OkCancel, platform::MsgDefault::Second);
    if (answer == platform::MsgResult::Ok) return true;
    p_.log.AddLogLine("Erasing Operation was Canceled by Operator");
    p_.outcome.Note(feedback::Outcome::Cancelled);
    return false;
}

bool EraseCommand::PollErase(std::int32_t polls, std::int64_t maxMicros) {
    auto& a = p_.addr;
    auto& count = p_.flashBus.PollCount;
    count = polls;
    // A count of polls alone ends sooner on a faster port than a slow chip
    // may take; the datasheet's longest erase bounds it from below.
    const Deadline longest(p_.svc.clock, maxMicros);
    for (;;) {
        if (count > 0) --count;
        if (count == 0 && longest.Passed()) return false;
        a.ReadCycle();
        if (a.DataIn >= 0x80) return true;
    }
}

void EraseCommand::EraseFlash() { EraseWith(Path::Flash32Pin); }

void EraseCommand::EraseAT29C256() { EraseWith(Path::At29c256); }

void EraseCommand::EraseWith(Path path) {
    auto& cmd = p_.flashBus;
    auto& id = p_.flashId;
    const bool at29c256 = path == Path::At29c256;
    if (!OperatorAgrees()) return;
    id.ReadFlashId();
    if (at29c256 && id.FlashId != "1FDC") {
        p_.log.AddLogLine("Device ID# " + id.FlashId + " - Not Supported");
        p_.outcome.Note(feedback::Outcome::Unsupported);
        return;
    }
    if (!at29c256 && !id.MakerAccepted()) {
        p_.outcome.Note(feedback::Outcome::Unsupported);  // the identification line says why
        return;
    }
    p_.log.AddLogLine("Device ID# " + id.FlashId + " - Erase Operation Started.. WAIT!");
    cmd.FlashCmd = 0x80;
    cmd.FlashCommand();
    cmd.FlashCmd = 0x10;
    cmd.FlashCommand();
    if (at29c256) p_.svc.clock.Sleep(kAt29c256EraseStartMs);
    p_.regs.REG4OFF();
    const bool done = at29c256 ? PollErase(kAt29c256ErasePolls, kAt29c256EraseMaxMicros)
                               : PollErase(kFlashErasePolls, FlashChipEraseMaxMicros(p_.selection.DeviceType));
    if (done) {
        p_.log.AddLogLine("Flash Erasing Operation COMPLETED");
        cmd.FlashCmd = 0xF0;
        cmd.FlashCommand();
        return;
    }
    p_.outcome.Note(feedback::Outcome::EraseTimeout);
    p_.log.AddLogLine("TimeOut Failure during Erasing Flash");
    p_.log.AddLogLine("Flash Chip is not responding");
    p_.log.AddLogLine("Erasing Operation NOT COMPLETED!");
}

}  // namespace moltrix::programming
