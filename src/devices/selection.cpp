#include "devices/selection.h"

#include <charconv>

#include "devices/catalog.h"
#include "shell/programmer.h"

namespace moltrix::devices {
namespace {

// Catalogue cells are decimal text written by the program itself.
int CellNumber(const std::string& cell) {
    int v = 0;
    std::from_chars(cell.data(), cell.data() + cell.size(), v);
    return v;
}

std::string Trimmed(const std::string& s) {
    auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}


// Slider range and loop counts at its fastest end.
constexpr std::int32_t kMinCount = 2;
// Below this slider position the register strobes take the pulse factor.
constexpr int kSlowStrobePosition = 10;

}  // namespace

Selection::Selection(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.Device.onClick = [this] { Device_Click(); };
    f.Voltage_button.onClick = [this](int i) { Voltage_button_Click(i); };
    f.Slider1.onChange = [this] { Slider1_Change(); };
}

bool Selection::TypeIs(std::initializer_list<const char*> codes) const {
    for (const char* c : codes)
        if (DeviceType == c) return true;
    return false;
}

void Selection::Device_Click() {
    auto& f = p_.form;
    auto& list = f.Device;
    if (list.listIndex < 0 || list.listIndex >= static_cast<int>(list.items.size())) {
        list.text = kDevicePrompt;
        return;
    }
    const std::string name = Trimmed(list.items[static_cast<std::size_t>(list.listIndex)]);
    if (!list.Accepts(list.listIndex)) {
        // A refused device: the choice is undone and the earlier device stays in force.
        list.listIndex = -1;
        list.text = kDevicePrompt;
        return;
    }
    // What the display shows before: the chip's page or the data buffer gives
    // way to the code buffer below, as the frame's caption will say.
    const bool codeViewShown = p_.display.CodeViewShown();
    DeviceName = name;
    CopyRow(list.listIndex);
    SetLineMaps();
    SetTimingFactors();

    auto& a = p_.addr;
    a.CEOFF();
    a.OEOFF();
    if (DeviceFamily == "S") {
        // A serial EEPROM's clock and power lines rest active.
        a.CEON();
        a.OEON();
    }
    ComputeSpeedDelays();

    DeviceSize = DeviceSizeKB * 1024;
    p_.buffers.CodeSize = DeviceSize;
    p_.display.SetCodeScrollMax();

    for (auto* c : {&f.Frame5, &f.FrameVoltageSelection}) c->visible = true;
    f.CheckBlankPriorProgramming.visible = true;
    f.VerifyAfterProgramming.visible = true;

    ResetDeviceControls();
    EnableDeviceControls();
    if (!codeViewShown) p_.display.ShowCodeView();
    OfferVoltages();

    auto& b = p_.buffers;
    if (b.CodeLoaded == 1)
        for (auto* m : {&f.menuEraseCode, &f.menuProgramCode, &f.menuVerifyCode}) m->enabled = true;
    if (b.DataLoaded == 1) {
        f.CheckData.SetValue(1);
        for (auto* m : {&f.menuEraseData, &f.menuProgramData, &f.menuVerifyData}) m->enabled = true;
    }
    if (b.CodeLoaded == 1 || b.DataLoaded == 1)
        for (auto* c : {&f.Erase_button, &f.Program_button, &f.Verify_button}) c->enabled = true;

    p_.lamps.ErrorLampOff();
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("Device " + DeviceName + " was Selected");
    p_.log.AddLogLine("Device Size is: " + std::to_string(p_.buffers.CodeSize) +
                      " Bytes, Initial VPP suggested: " + (VppClass == 0 ? "5V" : "12.5V"));
    p_.cues.PlayCue("DONE");
}

void Selection::CopyRow(int rowIndex) {
    const CatalogRow& row = p_.catalog.Row(rowIndex);
    DeviceFamily = row[CatFamily];
    DeviceVariant = row[CatVariant];
    DeviceSizeKB = CellNumber(row[CatSizeKB]);
    p_.addr.Reg1Extra = static_cast<std::int16_t>(CellNumber(row[CatReg1Bits]));
    p_.addr.Reg3Extra = static_cast<std::int16_t>(CellNumber(row[CatReg3Bits]));
    VppClass = static_cast<std::int16_t>(CellNumber(row[CatVppClass]));
    DeviceType = DeviceFamily + DeviceVariant;
}

void Selection::SetLineMaps() {
    auto& a = p_.addr;
    a.SetIdentityMaps();
    if (TypeIs({"FM", "FL", "FR", "FS"})) {
        // The 29F0x0 parts take A18 on the register-3 bit that carries A19.
        for (int i = 4; i <= 7; ++i) a.AdrMapHigh[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i + 4);
    }
    if (DeviceType == "EN") {
        // The X28C256 takes A14 on the register-1 bit that carries A15.
        for (int i = 64; i <= 127; ++i) a.AdrMapMid[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i + 64);
    }
}

void Selection::SetTimingFactors() {
    auto& r = p_.regs;
    r.SettleFactor = 5;
    r.PulseFactor = 100;
    r.LongFactor = 500;
    // The NMOS 2716/2732/2764 generation wants long pauses, and so does the
    // NMOS 27128 (21 V, 1 ms pulses), which shares its variant with the CMOS
    // 27C128: with the short CMOS pulses its cells never charge in 254 pulses.
    if (DeviceVariant < "3" || (DeviceVariant == "3" && VppClass == 3)) {
        r.SettleFactor = 50;
        r.PulseFactor = 20000;
        r.LongFactor = 100000;
    }
    if (DeviceVariant == "9") {  // the 27C080 is the fastest part
        r.SettleFactor = 2;
        r.PulseFactor = 50;
        r.LongFactor = 250;
    }
}

void Selection::EnableDeviceControls() {
    auto& f = p_.form;
    for (auto* c : {&f.Read_button, &f.Display_button, &f.Blank_button}) c->enabled = true;
    for (auto* m : {&f.menuReadCode, &f.menuDisplayCode, &f.menuBlankCheck}) m->enabled = true;
    if (DeviceFamily == "S") {  // a serial EEPROM has no blank check
        f.Blank_button.enabled = false;
        f.menuBlankCheck.enabled = false;
    }
    if (DeviceFamily == "F" || DeviceFamily == "S") {
        f.EraseFlash_button.enabled = true;
        f.menuFlashShowCodeID.enabled = true;
        f.menuEraseFlash.enabled = true;
    }
    f.PleaseSelect.visible = false;
    f.Frame3.visible = true;
    f.BufferDisplay.visible = true;

    if (DeviceType == "FA" && probeFlashId) probeFlashId();

    if (DeviceType != "MJ") {
        f.CheckData.SetValue(0);
        f.CheckData.enabled = false;
        f.CheckCode.SetValue(1);
        f.CheckCode.enabled = false;
        p_.buffers.DataLoaded = 0;
        f.Show_button.enabled = true;
        f.Show_button.caption = "Show Code";
    } else {
        // A microcontroller has a data area beside its code.
        for (auto* m : {&f.menuEraseFlash, &f.menuEraseData, &f.menuDisplayData, &f.menuReadData}) m->enabled = true;
        for (int pos : {3, 4, 5}) f.tbToolBar.Button(pos).visible = true;
        f.tbToolBar.Button(4).enabled = true;
        f.Show_button.enabled = true;
        f.Show_button.caption = "Show Data";
        for (auto* c : {&f.FileNameDataLabel, &f.FileNameDataSize, &f.FileNameDataText}) c->visible = true;
        f.mnuFileOpenData.enabled = true;
        f.CheckCode.enabled = true;
        f.CheckData.enabled = true;
    }
}

void Selection::OfferVoltages() {
    auto& v = p_.form.Voltage_button;
    switch (VppClass) {
        case 0:
            v[0].enabled = true;
            v.SetValue(0, true);
            break;
        case 1:
        case 2:
        case 3:
            for (int i = 1; i <= VppClass; ++i) v[i].enabled = true;
            v.SetValue(1, true);  // logs the 12.5 V line and sets VppVolts
            break;
        default:
            break;
    }
}

void Selection::Voltage_button_Click(int index) {
    switch (index) {
        case 1:
            VppVolts = 12;
            p_.log.AddLogLine("Most Common Programming Voltage Selected: 12.5 Volts!!!");
            break;
        case 2:
            VppVolts = 21;
            p_.log.AddLogLine("BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!");
            break;
        case 3:
            VppVolts = 25;
            p_.log.AddLogLine("BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!");
            break;
        default:
            break;  // 5 V: nothing to set
    }
}

void Selection::Slider1_Change() {
    p_.log.AddLogLine("Program Speed Slider set to: " + std::to_string(p_.form.Slider1.value));
    ComputeSpeedDelays();
    p_.cues.PlayCue("SLIDE");
}

void Selection::ComputeSpeedDelays() {
    auto& r = p_.regs;
    const std::int32_t steps = p_.form.Slider1.max - p_.form.Slider1.value;
    r.LongDelayCount = steps * r.LongFactor + kMinCount;
    r.PulseDelayCount = steps * r.PulseFactor + kMinCount;
    r.StrobeDelayCount = steps * r.SettleFactor + kMinCount;
    if (p_.form.Slider1.value < kSlowStrobePosition) r.StrobeDelayCount = steps * r.PulseFactor + kMinCount;
}

void Selection::ResetDeviceControls() {
    auto& f = p_.form;
    for (int i = 0; i < 4; ++i) f.Voltage_button[i].enabled = false;
    for (int i = 0; i < 4; ++i) f.Voltage_button.SetValue(i, false);

    f.tbToolBar.Button(2).enabled = false;
    for (int pos : {3, 4, 5}) f.tbToolBar.Button(pos).visible = false;
    for (int pos : {4, 5}) f.tbToolBar.Button(pos).enabled = false;

    f.Show_button.enabled = false;
    f.Show_button.caption = "Show Data";

    for (auto* m : {&f.menuProgramData, &f.menuReadData, &f.menuDisplayData, &f.menuVerifyData, &f.menuEraseData,
                    &f.menuProgramCode, &f.menuDisplayCode, &f.menuReadCode, &f.menuVerifyCode, &f.menuEraseCode,
                    &f.menuEraseFlash, &f.menuBlankCheck})
        m->enabled = false;
    for (auto* b : {&f.EraseFlash_button, &f.Verify_button, &f.Program_button, &f.Read_button, &f.Display_button,
                    &f.Blank_button, &f.Erase_button})
        b->enabled = false;
    f.CheckData.enabled = false;
    f.CheckCode.enabled = false;
    for (auto* c : {&f.FileNameDataLabel, &f.FileNameDataSize, &f.FileNameDataText}) c->visible = false;
    f.menuFlashShowCodeID.enabled = false;
    f.Frame3.caption = buffers::kCodeCaption;
}

}  // namespace moltrix::devices
