// The Blank Check command: every location reads FFh.
#include "operations/device_checks.h"
#include "operations/device_walk.h"

namespace moltrix::operations {
namespace {
constexpr int kAddressSettlePasses = 100;
}  // namespace

void DeviceChecks::Blank_button_Click() {
    const feedback::Outcomes::Command command(p_.outcome);
    if (p_.form.CheckCode.value == 1) BLANKCODE();
    if (p_.form.CheckData.value == 1)
        p_.svc.dialogs.MessageBox("Please Write AT90S2313 Check Blank Eeprom Routine", kNotReady,
                                  platform::MsgIcon::None, platform::MsgButtons::Ok);
}

void DeviceChecks::BLANKCODE() {
    const auto& sel = p_.selection;
    if (sel.DeviceFamily == "F" || sel.DeviceFamily == "P" || sel.DeviceType == "EN")
        BlankCheckParallel();
    else {
        p_.outcome.Note(feedback::Outcome::Unsupported);
        p_.svc.dialogs.MessageBox("Please Write Missing Routines at BLANKCODE", "Missing Routine",
                                  platform::MsgIcon::None, platform::MsgButtons::Ok);
    }
}

void DeviceChecks::BlankCheckParallel() {
    auto& a = p_.addr;
    p_.lamps.DataFlowLampOn();
    p_.log.AddLogLine("Checking Device for BLANK (Erased)... Wait");
    p_.progress.Start(static_cast<std::int16_t>(p_.buffers.CodeSize / 100));
    OpenDevice(p_);
    p_.svc.clock.Spin(kAddressSettlePasses);

    const bool blank = WalkDevice(p_, [&] {
        if (a.DataIn == 0xFF) return true;
        FailAddress = a.AdrMid * kPageBytes + a.AdrHigh * kHighWeight + p_.regs.Reg2;
        return false;
    });
    if (!blank) {
        ReportNotBlank();
        return;
    }
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("Device IS BLANK (ERASED)");
    p_.progress.SetValue(0);
    p_.cues.PlayCue("OK");
    p_.regs.Reset();
}

void DeviceChecks::ReportNotBlank() {
    p_.outcome.Note(feedback::Outcome::NotBlank);
    p_.alert.RaiseErrorAlert();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("Device IS NOT BLANK (ERASED)");
    p_.log.AddLogLine("Address: " + feedback::HexText(static_cast<std::uint32_t>(FailAddress)) +
                      " ][ Device Data: " + feedback::HexText(p_.addr.DataIn));
    p_.cues.PlayCue("ERROR");
    p_.alert.ShowErrorAlert();
}

}  // namespace moltrix::operations
