// The Verify command, and the mismatch and no-acknowledge reports.
#include "operations/device_checks.h"
#include "operations/device_walk.h"

namespace moltrix::operations {
namespace {

bool IsSerial(const std::string& type) { return type == "SA" || type == "SB" || type == "SC"; }

// The byte the chip should hold at `address`: the programming image's over
// the device, and past the device's end (a file larger than the part) the
// code buffer's own byte, which the chip cannot hold. The mismatch report
// shows this byte, the one compared.
std::uint8_t ExpectedByte(const Programmer& p, std::int32_t address) {
    if (address < p.selection.DeviceSize) return p.image.At(address);
    const auto& code = p.buffers.CodeBuffer;
    return address >= 0 && static_cast<std::size_t>(address) < code.size() ? code[static_cast<std::size_t>(address)]
                                                                             : std::uint8_t{0xFF};
}
}  // namespace

void DeviceChecks::Verify_button_Click() {
    const feedback::Outcomes::Command command(p_.outcome);
    VerifyFailed = 0;
    if (p_.form.CheckCode.value == 1) VerifyCode();
    if (p_.form.CheckData.value == 1) VerifyDataArea();
}

void DeviceChecks::VerifyDataArea() {
    p_.svc.dialogs.MessageBox("Please Write AT90S2313 VerifyData Routine", "", platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

void DeviceChecks::VerifyCode() {
    auto& f = p_.form;
    auto& a = p_.addr;
    const auto& sel = p_.selection;
    DeviceSum = 0;
    f.Verify_button.backColor = form::Color::Highlight3D();
    p_.lamps.DataFlowLampOn();
    p_.log.AddLogLine("Verify Function Started... Wait");

    bool serial = false;
    if (!IsSerial(sel.DeviceType)) {
        auto& image = p_.image;
        image.BuildProgramImage();
        p_.progress.Start(static_cast<std::int16_t>(sel.DeviceSize / 99));
        p_.progress.SetValue(0);
        OpenDevice(p_);
        const bool match = WalkDevice(p_, [&] {
            AddToSum(DeviceSum, a.DataIn);
            if (a.DataIn != ExpectedByte(p_, a.Address)) {
                FailAddress = a.Address;
                return false;
            }
            ++a.Address;
            return true;
        });
        if (!match) {
            ReportVerifyError(ExpectedByte(p_, FailAddress));
            return;
        }
    } else if (serialVerify) {
        serial = true;
        // A parallel part's work may have left registers 1 and 2 on the 8-pin
        // part's ground, write-protect and address pins.
        a.SerialLinesAtRest();
        if (serialVerify() != 0) {
            ReportNoAck();
            p_.progress.SetValue(0);
            f.Verify_button.backColor = form::Color::ButtonFace();
            return;
        }
    } else {
        p_.outcome.Note(feedback::Outcome::Unsupported);
        p_.lamps.DataFlowLampOff();
        p_.svc.dialogs.MessageBox("Please Write Missing Routines at VerifyCode", kNotReady,
                                  platform::MsgIcon::None, platform::MsgButtons::Ok);
        f.Verify_button.backColor = form::Color::ButtonFace();
        return;
    }
    if (VerifyFailed == 0) {
        p_.lamps.DataFlowLampOff();
        p_.log.AddLogLine("Device Contents MATCHES with Buffer Contents");
        // Nothing is summed on the serial path, so it has no checksum to show.
        if (!serial) {
            SetSumText();
            p_.log.AddLogLine("Device CHKSUMM = $" + DeviceSumText);
        }
        p_.cues.PlayCue("OK");
        p_.regs.Reset();
    }
    p_.progress.SetValue(0);
    f.Verify_button.backColor = form::Color::ButtonFace();
}

void DeviceChecks::ReportVerifyError(std::uint8_t bufferData) {
    p_.outcome.Note(feedback::Outcome::VerifyMismatch);
    VerifyFailed = 1;
    p_.alert.RaiseErrorAlert();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine(kStars);
    p_.log.AddLogLine("Device Memory DOES NOT VERIFY with Buffer Contents");
    p_.log.AddLogLine("Address: " + feedback::HexText(static_cast<std::uint32_t>(FailAddress)) + " ][ Buffer Data: " +
                      feedback::HexText(bufferData) + " ][ Device Data: " + feedback::HexText(p_.addr.DataIn));
    p_.form.Verify_button.backColor = form::Color::ButtonFace();
    p_.cues.PlayCue("ERROR");
    p_.alert.ShowErrorAlert();
    p_.regs.Reset();
}

void DeviceChecks::ReportNoAck() {
    p_.outcome.Note(feedback::Outcome::NoAck);
    p_.alert.RaiseErrorAlert();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine(kStars);
    p_.log.AddLogLine("Device 24CXX DOES NOT RESPOND - ACK Error");
    p_.log.AddLogLine("Check Chip Installation Position on Socket");
    p_.cues.PlayCue("ERROR");
    p_.alert.ShowErrorAlert();
    p_.regs.Reset();
}

}  // namespace moltrix::operations
