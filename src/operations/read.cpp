// The Read command: the device into the code buffer.
#include <cstdio>

#include "operations/device_checks.h"
#include "operations/device_walk.h"

namespace moltrix::operations {
DeviceChecks::DeviceChecks(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.Read_button.onClick = [this] { Read_button_Click(); };
    f.menuReadCode.onClick = [this] { Read_button_Click(); };
    f.Blank_button.onClick = [this] { Blank_button_Click(); };
    f.menuBlankCheck.onClick = [this] { Blank_button_Click(); };
    f.Verify_button.onClick = [this] { Verify_button_Click(); };
    f.menuVerifyCode.onClick = [this] { Verify_button_Click(); };
    f.menuReadData.onClick = [this] { ReadDataArea(); };
    f.menuVerifyData.onClick = [this] { VerifyDataArea(); };
}

void DeviceChecks::Read_button_Click() {
    const feedback::Outcomes::Command command(p_.outcome);
    if (p_.form.CheckCode.value == 1) READCODE();
    if (p_.form.CheckData.value == 1) ReadDataArea();
}

void DeviceChecks::READCODE() {
    const auto& sel = p_.selection;
    if (sel.DeviceFamily == "F" || sel.DeviceFamily == "P" || sel.DeviceType == "EN")
        ReadParallel();
    else if (sel.DeviceFamily == "S" && serialRead)
        ReadSerial();
    else {
        p_.outcome.Note(feedback::Outcome::Unsupported);
        p_.svc.dialogs.MessageBox("Please Write Missing Routines at READCODE", kNotReady, platform::MsgIcon::None,
                                  platform::MsgButtons::Ok);
    }
}

void DeviceChecks::SetSumText() {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(DeviceSum & 0xFFFF));
    DeviceSumText = text;
}

void DeviceChecks::EnableBufferCommands() {
    auto& f = p_.form;
    for (auto* c : {&f.Verify_button, &f.Program_button, &f.Erase_button}) c->enabled = true;
    for (auto* m : {&f.menuVerifyCode, &f.menuProgramCode, &f.menuEraseCode, &f.mnuFileSaveCodeAs}) m->enabled = true;
}

// The buffer's first page on screen, with the two hint lines.
void DeviceChecks::AfterRead() {
    auto& f = p_.form;
    f.BufferDisplay.SetText({});
    f.VScroll1.value = 0;
    p_.display.SetCodeScrollMax();
    p_.log.AddLogLine("Data is available at above Window, use Scroll Bar");
    p_.log.AddLogLine("You can Save the file using [FILE - Save As] menu");
    p_.display.DisplayPageMemory();
}

void DeviceChecks::ReadParallel() {
    auto& f = p_.form;
    auto& a = p_.addr;
    auto& code = p_.buffers.CodeBuffer;
    p_.lamps.DataFlowLampOn();
    DeviceSum = 0;
    p_.display.DisplaySource = "Read";
    OpenDevice(p_);

    WalkDevice(p_, [&] {
        // A working size past the buffer's end (a large file for a small
        // part) reads on but stores only what the buffer holds.
        if (a.Address >= 0 && static_cast<std::size_t>(a.Address) < code.size())
            code[static_cast<std::size_t>(a.Address)] = a.DataIn;
        AddToSum(DeviceSum, a.DataIn);
        ++a.Address;
        return true;
    });

    SetSumText();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine(std::to_string(p_.buffers.CodeSize) + " bytes Read from Device");
    p_.log.AddLogLine("Device CHKSUMM = $" + DeviceSumText);
    AfterRead();
    p_.progress.SetValue(0);
    f.sbStatusBar.statusText.clear();
    EnableBufferCommands();
    p_.buffers.CodeLoaded = 1;
    p_.cues.PlayCue("OK");
    p_.regs.Reset();
}

void DeviceChecks::ReadSerial() {
    auto& f = p_.form;
    auto& r = p_.regs;
    p_.lamps.DataFlowLampOn();
    r.Reset();
    p_.addr.SETADR();
    p_.svc.clock.Sleep(kSettleMs);
    p_.display.DisplaySource = "Read";
    f.ProgressBar1.max = p_.buffers.CodeSize;
    const std::int16_t ackError = serialRead();
    p_.lamps.DataFlowLampOff();
    if (ackError != 0) {
        ReportNoAck();
    } else {
        p_.log.AddLogLine(std::to_string(p_.buffers.CodeSize) + " bytes Read from Device");
        AfterRead();
        p_.cues.PlayCue("OK");
    }
    p_.progress.SetValue(0);
    f.sbStatusBar.statusText.clear();
    EnableBufferCommands();
    p_.buffers.CodeLoaded = 1;
    // A serial EEPROM's lines rest active. Register 0 is not rewritten, so the
    // board keeps OE active while the shadow already says inactive; the next
    // register-0 write brings the two into line.
    r.Reset();
    p_.addr.SerialLinesAtRest();
    r.Reg0 = 0x40;
}

void DeviceChecks::ReadDataArea() {
    p_.display.DisplaySource = "Read";
    p_.regs.REG4OFF();
    p_.addr.CEOEON();
    p_.lamps.DataFlowLampOn();
    p_.progress.Start(static_cast<std::int16_t>(p_.buffers.CodeSize / 100));
    p_.log.AddLogLine("Start Device Reading Operation");
    p_.form.sbStatusBar.statusText = "Reading Device... Wait";
    p_.svc.dialogs.MessageBox("Please Write AT90S2313 Eeprom Read Routine", kNotReady, platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

}  // namespace moltrix::operations
