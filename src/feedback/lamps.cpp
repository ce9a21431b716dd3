#include "feedback/lamps.h"

#include "shell/programmer.h"

namespace moltrix::feedback {
using form::Color;
using form::kGreen;
using form::kRed;

Lamps::Lamps(Programmer& p) : p_(p) {}

void Lamps::Repaint() { p_.svc.refresh.Refresh(); }

void Lamps::ErrorLampOn() {
    ProgramLampOff();
    DataFlowLampOff();
    p_.form.Error_label.foreColor = kRed;
    Repaint();
}

void Lamps::ErrorLampOff() {
    p_.form.Error_label.foreColor = Color::ButtonFace();
    Repaint();
}

void Lamps::ProgramLampOn() {
    p_.form.Program_label.foreColor = kGreen;
    Repaint();
}

void Lamps::ProgramLampOff() {
    p_.form.Program_label.foreColor = Color::ButtonFace();
    Repaint();
}

void Lamps::DataFlowLampOn() {
    p_.form.DataFlow_label.foreColor = kGreen;
    Repaint();
}

void Lamps::DataFlowLampOff() {
    p_.form.DataFlow_label.foreColor = Color::ButtonFace();
    Repaint();
}

void Lamps::ToggleProgramLamp() {
    if (ProgramLampLit())
        ProgramLampOff();
    else
        ProgramLampOn();
}

bool Lamps::ErrorLampLit() const { return p_.form.Error_label.foreColor == kRed; }
bool Lamps::ProgramLampLit() const { return p_.form.Program_label.foreColor == kGreen; }

ErrorAlert::ErrorAlert(Programmer& p) : p_(p) {
    p_.form.Error_label.onClick = [this] { Error_label_Click(); };
}

void ErrorAlert::RaiseErrorAlert() {
    auto& f = p_.form;
    p_.lamps.ErrorLampOn();
    savedProgram_ = f.Program_button.enabled;
    savedVerify_ = f.Verify_button.enabled;
    savedRead_ = f.Read_button.enabled;
    savedDisplay_ = f.Display_button.enabled;
    f.Program_button.enabled = false;
    f.Verify_button.enabled = false;
    f.Read_button.enabled = false;
    f.Display_button.enabled = false;
}

void ErrorAlert::ShowErrorAlert() {
    p_.svc.dialogs.MessageBox("Program or Compare Error", "Critical Message", platform::MsgIcon::Critical,
                              platform::MsgButtons::Ok);
    if (p_.lamps.ErrorLampLit()) ClearErrorAlert();
}

void ErrorAlert::ClearErrorAlert() {
    auto& f = p_.form;
    p_.lamps.ErrorLampOff();
    p_.lamps.ProgramLampOff();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("Error Alert was Turned Off");
    p_.progress.SetValue(0);
    f.Program_button.enabled = savedProgram_;
    f.Verify_button.enabled = savedVerify_;
    f.Read_button.enabled = savedRead_;
    f.Display_button.enabled = savedDisplay_;
    p_.regs.Reset();
}

void ErrorAlert::Error_label_Click() {
    if (p_.lamps.ErrorLampLit()) ClearErrorAlert();
}

}  // namespace moltrix::feedback
