#include "board/detection.h"

#include <cstdio>

#include "shell/programmer.h"

namespace moltrix::board {
namespace {

// Status bits 4-6 after register 4 was loaded with 00h (high byte) and FFh (low byte).
constexpr int kStatusMask = 0x70;
constexpr int kBoardAnswers = 0x0070;
// Test C: register 3 with register 4 released, CE active, bit 5 set and clear.
constexpr std::uint8_t kModel6ProbeBit5 = 0x60, kModel6ProbePlain = 0x40;
constexpr std::uint8_t kModel6ReadsWithBit5 = 0xEF, kModel6ReadsPlain = 0xFF;
constexpr int kLedBlinkMs = 200;

}  // namespace

std::string HexPort(std::uint16_t port) {
    char b[8];
    std::snprintf(b, sizeof b, "%X", static_cast<unsigned>(port));
    return b;
}

Detection::Detection(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.TestHardware_button.onClick = [this] { TestHardware_button_Click(); };
    f.menuTestHardware.onClick = [this] { TestHardware_button_Click(); };
    f.LPTSelection.onClick = [this](int i) { LPTSelection_Click(i); };
    f.PortSelected.editable = true;
    f.PortSelected.onEnterKey = [this](const std::string& typed) { PortSelected_EnterKey(typed); };
    f.ForceMoltrix4.onClick = [this] { ForceMoltrix4_Click(); };
    f.ForceMoltrix5.onClick = [this] { ForceMoltrix5_Click(); };
    f.ForceMoltrix6.onClick = [this] { ForceMoltrix6_Click(); };
}

// Model-5/6 codes: 0Eh/00h strobe register 3, 06h/00h register 4.
int Detection::TestModel56Codes() {
    auto& r = p_.regs;
    r.OutData(0x9F);  // register 3: register 4 drives the data lines, CE inactive
    r.OutControl(0x0E);
    r.OutControl(0x00);
    r.OutData(0x00);
    r.OutControl(0x06);
    r.WaitSettlingTime();
    int a = (r.InStatus() & kStatusMask) * 256;
    r.OutControl(0x00);
    r.OutData(0xFF);
    r.OutControl(0x06);
    r.WaitSettlingTime();
    return a + (r.InStatus() & kStatusMask);
}

// Model-4 codes: 01h/09h strobe register 3, 0Fh/09h register 4.
int Detection::TestModel4Codes() {
    auto& r = p_.regs;
    r.OutControl(0x09);
    r.OutData(0xBF);  // register 3: register 4 drives the data lines, CE inactive
    r.OutControl(0x01);
    r.OutControl(0x09);
    r.OutData(0x00);
    r.OutControl(0x0F);
    r.OutControl(0x09);
    r.WaitSettlingTime();
    int b = (r.InStatus() & kStatusMask) * 256;
    r.OutData(0xFF);
    r.OutControl(0x0F);
    r.OutControl(0x09);
    r.WaitSettlingTime();
    b += r.InStatus() & kStatusMask;
    r.OutControl(0x08);
    return b;
}

// The model test runs before the model's codes are loaded, so the read-back
// uses the model-5/6 nibble-select codes whatever is loaded now.
std::uint8_t Detection::ReadBackWithModel56Codes() {
    auto& r = p_.regs;
    const auto low = r.NibbleSelLow, high = r.NibbleSelHigh;
    r.NibbleSelLow = r.Model56Codes.nibbleLow;
    r.NibbleSelHigh = r.Model56Codes.nibbleHigh;
    p_.addr.GetNibbles();
    r.NibbleSelLow = low;
    r.NibbleSelHigh = high;
    return p_.addr.DataIn;
}

void Detection::CheckHardware() {
    auto& r = p_.regs;
    r.SetPortBase(r.PortBase);
    p_.lamps.DataFlowLampOn();
    const int a = TestModel56Codes();
    const int b = TestModel4Codes();
    p_.lamps.DataFlowLampOff();

    const bool answersA = a == kBoardAnswers, answersB = b == kBoardAnswers;
    if (answersA) {
        r.BoardModel = 5;
        BoardPort = r.PortBase;
    }
    if (answersB) {  // a board that answers both is a model 4
        r.BoardModel = 4;
        BoardPort = r.PortBase;
    }
    // The model-6 test runs whenever the model is 5 at this point, so a model 5
    // found at an earlier port is tested again against this port; an empty port
    // reads FFh twice there and leaves the model alone.
    if (r.BoardModel == 5) {
        r.OutData(kModel6ProbeBit5);
        r.OutControl(0x0E);
        r.OutControl(0x00);
        const std::uint8_t first = ReadBackWithModel56Codes();
        r.OutData(kModel6ProbePlain);
        r.OutControl(0x0E);
        r.OutControl(0x00);
        const std::uint8_t second = ReadBackWithModel56Codes();
        if (first == kModel6ReadsWithBit5 && second == kModel6ReadsPlain) r.BoardModel = 6;
    }
    if (!answersA && !answersB) p_.log.AddLogLine("Port " + HexPort(r.PortBase) + " Not Responding");
}

void Detection::TestHardware_button_Click() { ProbePorts({kLpt2, kLpt1, kLpt3}, true); }

void Detection::ProbePort(std::uint16_t port) { ProbePorts({port}, false); }

void Detection::ProbePorts(const std::vector<std::uint16_t>& ports, bool lookFurther) {
    auto& f = p_.form;
    auto& r = p_.regs;
    p_.lamps.ErrorLampOff();
    p_.lamps.ProgramLampOff();
    p_.lamps.DataFlowLampOff();
    BoardPort = 0;
    r.BoardModel = 0;
    f.MoltrixHardwareFound.foreColor = form::kRed;
    f.MoltrixHardwareFound.caption = "NO HARDWARE FOUND";
    f.PortSelected.SetText("None");
    for (int i = 0; i < 3; ++i) f.LPTSelection.SetValue(i, false);
    f.Ready_label.caption = "NotReady";
    f.Ready_label.foreColor = form::kRed;

    const std::uint16_t remembered = r.PortBase;
    TestPorts(ports);
    // A PCI or PCIe card sits elsewhere; its ports are tried only when no
    // board answered at the standard ones.
    if (lookFurther && r.BoardModel == 0) TestPorts(OtherPortsOfThisPc());
    r.SetPortBase(remembered);

    if (r.BoardModel == 0) {
        p_.log.AddLogLine("Can't Locate Moltrix Board at Any LPT port.");
        p_.log.AddLogLine("Moltrix should be connected to a LPT port, with power and socket empty.");
    }
    ShowBoardFound();
}

void Detection::TestPorts(const std::vector<std::uint16_t>& ports) {
    // A port the PC has but the program may not use reads like an empty one;
    // say why first, so the operator does not blame the board.
    for (std::uint16_t port : ports) {
        const std::string problem = p_.svc.port.AccessProblem(port);
        if (!problem.empty()) p_.log.AddLogLine(problem);
    }
    // The last port that answers wins. Moving on lets go of the port just
    // tested, so no port the probe does not adopt stays claimed.
    for (std::uint16_t port : ports) {
        p_.regs.SetPortBase(port);
        CheckHardware();
    }
}

void Detection::ShowBoardFound() {
    if (BoardPort == 0) return;
    auto& f = p_.form;
    auto& r = p_.regs;
    f.Ready_label.foreColor = form::kGreen;
    f.Ready_label.caption = "Ready";
    r.SetPortBase(BoardPort);
    // The port is shown as its option shows it (the port box and the log
    // line come first); a card elsewhere is shown in the port box alone.
    SelectPort(BoardPort);

    const int model = r.BoardModel;
    if (model == 4 || model == 5 || model == 6) {
        const std::string m = std::to_string(model);
        const std::string port = HexPort(r.PortBase);
        p_.log.AddLogLine("MOLTRIX-" + m + " Device was FOUND at Port: " + port);
        f.MoltrixHardwareFound.caption = "MODEL " + m + " - PC port " + port + "h";
        f.MoltrixHardwareFound.foreColor = form::Color::ButtonText();
        WriteBoardIni();
        r.SetupPortModel();
        if (model != 4) {  // models 5 and 6 have an LED; blink it to show which board answered
            r.LedOn();
            p_.svc.clock.Sleep(kLedBlinkMs);
            r.LedOff();
        }
    }
    r.Reset();
}

void Detection::LPTSelection_Click(int) {
    auto& f = p_.form;
    auto& r = p_.regs;
    for (int i = 0; i < 3; ++i) {
        if (!f.LPTSelection.Value(i)) continue;
        const std::uint16_t port = kLptPorts[static_cast<std::size_t>(i)];
        const std::string text = HexPort(port) + "h";
        f.PortSelected.SetText(text);
        p_.log.AddLogLine("Port Selection changed to " + text);
        r.SetPortBase(port);
        return;
    }
}

void Detection::ForceModel(int model) {
    auto& f = p_.form;
    auto& r = p_.regs;
    r.BoardModel = static_cast<std::int16_t>(model);
    const std::string m = std::to_string(model);
    p_.log.AddLogLine("MOLTRIX-" + m + " Device was FORCED by Operator");
    f.MoltrixHardwareFound.caption = "Operator Forced Model " + m;
    f.MoltrixHardwareFound.foreColor = form::kRed;
    f.Ready_label.foreColor = form::kGreen;
    f.Ready_label.caption = "Ready";
    r.SetupPortModel();
    r.Reset();
}

}  // namespace moltrix::board
