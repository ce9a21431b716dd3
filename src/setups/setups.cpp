#include "setups/setups.h"

#include "platform/file_io.h"
#include "setups/setup_file.h"
#include "shell/programmer.h"

namespace moltrix::setups {
namespace {

constexpr const char* kMarks = ">>>>>>>>>>>>";
// Nineteen short lines and a file name; anything near this is not a setup.
constexpr std::uintmax_t kSetupMaxBytes = 64 * 1024;

}  // namespace

std::string SlotFileName(int slot) { return "MXSetup" + std::to_string(slot) + ".INI"; }

Setups::Setups(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.Setup.onClick = [this] { Setup_Click(); };
    form::MenuItem* save[] = {&f.SaveSetup1, &f.SaveSetup2, &f.SaveSetup3, &f.SaveSetup4};
    for (int slot = 1; slot <= 4; ++slot) {
        save[slot - 1]->onClick = [this, slot] { SaveSetupRot(SlotFileName(slot)); };
        LoadEntry(slot).onClick = [this, slot] { RestoreSetup(SlotFileName(slot)); };
    }
}

form::MenuItem& Setups::LoadEntry(int slot) {
    auto& f = p_.form;
    form::MenuItem* load[] = {&f.LoadSetup1, &f.LoadSetup2, &f.LoadSetup3, &f.LoadSetup4};
    return *load[slot - 1];
}

form::CheckBox& Setups::CheckBoxFor(SetupKey key) {
    auto& f = p_.form;
    switch (key) {
        case SetupKey::CheckBlank: return f.CheckBlankPriorProgramming;
        case SetupKey::VerifyAfter: return f.VerifyAfterProgramming;
        case SetupKey::CheckCode: return f.CheckCode;
        default: return f.CheckData;
    }
}

void Setups::Setup_Click() {
    for (int slot = 1; slot <= 4; ++slot) LoadEntry(slot).enabled = false;
    for (int slot = 1; slot <= 4; ++slot) {
        auto read = platform::ReadWholeFile(p_.svc.paths.workDir / SlotFileName(slot), kSetupMaxBytes);
        if (!read.ok) continue;
        std::string name = SetupNameOf(std::string(read.bytes.begin(), read.bytes.end()));
        auto& m = LoadEntry(slot);
        m.enabled = true;
        m.caption = name;
    }
}

void Setups::SaveSetupRot(const std::string& fname) {
    auto& f = p_.form;
    std::string name = p_.svc.dialogs.InputBox("Please input a NAME for this Setup", "Saving Name Input", "");
    if (name.empty()) name = "No Name Setup " + fname.substr(7, 1);

    SetupRecord r;
    r.name = name;
    r.codeFile = p_.buffers.CodeFileName;
    r.deviceIndex = f.Device.listIndex;
    for (int i = 0; i < 4; ++i) r.voltage[static_cast<std::size_t>(i)] = f.Voltage_button.Value(i);
    r.checkBlank = f.CheckBlankPriorProgramming.value;
    r.verifyAfter = f.VerifyAfterProgramming.value;
    for (int i = 0; i < 3; ++i) r.lpt[static_cast<std::size_t>(i)] = f.LPTSelection.Value(i);
    r.portText = f.PortSelected.text;
    for (int i = 0; i < 3; ++i) r.hiLow[static_cast<std::size_t>(i)] = f.HiLow_button.Value(i);
    r.slider = f.Slider1.value;
    r.checkCode = f.CheckCode.value;
    r.checkData = f.CheckData.value;

    std::string error = platform::WriteFileReplacing(p_.svc.paths.workDir / fname, WriteSetupFile(r));
    if (!error.empty()) {
        p_.log.AddLogLine("Setup " + fname + " was not saved: " + error);
        p_.svc.dialogs.MessageBox("Can't save the setup file " + fname + ": " + error, "Setup Not Saved",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    p_.log.AddLogLine("Setup Saved as " + fname + ", named:" + name);
}

void Setups::RestoreSetup(const std::string& fname) {
    auto& f = p_.form;
    auto& log = p_.log;
    log.AddLogLine(kMarks);
    log.AddLogLine("RESTORING SETUP FROM " + fname);
    auto read = platform::ReadWholeFile(p_.svc.paths.workDir / fname, kSetupMaxBytes);
    if (!read.ok) {
        log.AddLogLine("Setup file " + fname + " could not be read: " + read.error);
        p_.svc.dialogs.MessageBox("Can't read the setup file " + fname + ": " + read.error, "Setup Not Restored",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        log.AddLogLine(kMarks);
        return;
    }

    std::string codeFile = p_.buffers.CodeFileName;
    auto skip = [&](const SetupEntry& e) {
        log.AddLogLine("Setup line " + std::to_string(e.lineNumber) + " skipped, not a usable value: " + e.line);
    };
    auto isState = [](int v) { return v == 0 || v == 1; };
    for (const auto& e : ParseSetupFile(std::string(read.bytes.begin(), read.bytes.end()))) {
        if (!e.valid) {
            skip(e);
            continue;
        }
        switch (e.key) {
            case SetupKey::CodeFile:
                codeFile = e.text;
                break;
            case SetupKey::DeviceIndex:
                if (e.number < -1 || e.number >= static_cast<int>(f.Device.items.size())) skip(e);
                else f.Device.SetListIndex(e.number);
                break;
            case SetupKey::Voltage:
                f.Voltage_button.SetValue(e.index, e.truth);
                break;
            case SetupKey::CheckBlank:
            case SetupKey::VerifyAfter:
            case SetupKey::CheckCode:
            case SetupKey::CheckData:
                if (isState(e.number)) CheckBoxFor(e.key).SetValue(e.number);
                else skip(e);
                break;
            case SetupKey::Lpt:
                f.LPTSelection.SetValue(e.index, e.truth);
                break;
            case SetupKey::PortText:
                f.PortSelected.SetText(e.text);
                break;
            case SetupKey::HiLow:
                f.HiLow_button.SetValue(e.index, e.truth);
                break;
            case SetupKey::Slider:
                if (e.number < f.Slider1.min || e.number > f.Slider1.max) skip(e);
                else f.Slider1.SetValue(e.number);
                break;
        }
    }

    f.FrameVoltageSelection.visible = true;
    f.Frame5.visible = true;
    f.Frame5.caption = "Optional Auto Operations";
    if (codeFile.empty()) {
        p_.buffers.CodeFileName.clear();
        f.FileNameCodeText.caption.clear();
    } else {
        // The load sets the name and the label only when the file could be
        // used; otherwise both stay as they were and the operator is told why.
        p_.buffers.LoadCodeFile(codeFile);
    }
    log.AddLogLine("SETUP RESTORED FROM " + fname);
    log.AddLogLine(kMarks);
}

}  // namespace moltrix::setups
