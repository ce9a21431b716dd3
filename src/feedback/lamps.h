#pragma once
// The status lamps (labels whose text colour is lit or the button face) and the
// error alert, which locks four command buttons until the operator has seen it.

namespace moltrix {
class Programmer;
}

namespace moltrix::feedback {

class Lamps {
public:
    explicit Lamps(Programmer& p);

    void ErrorLampOn();  // also darkens the Program and DataFlow lamps
    void ErrorLampOff();
    void ProgramLampOn();
    void ProgramLampOff();
    void DataFlowLampOn();
    void DataFlowLampOff();
    void ToggleProgramLamp();
    bool ErrorLampLit() const;
    bool ProgramLampLit() const;

private:
    void Repaint();
    Programmer& p_;
};

class ErrorAlert {
public:
    explicit ErrorAlert(Programmer& p);

    void RaiseErrorAlert();
    void ShowErrorAlert();
    void ClearErrorAlert();
    void Error_label_Click();

private:
    Programmer& p_;
    // Enabled states of Program, Verify, Read and Display when the alert was raised.
    bool savedProgram_ = false, savedVerify_ = false, savedRead_ = false, savedDisplay_ = false;
};

}  // namespace moltrix::feedback
