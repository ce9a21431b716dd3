#include "buffers/buffers.h"

#include <algorithm>

#include "shell/programmer.h"

namespace moltrix::buffers {
namespace {

constexpr const char* kNoFileCaption = "Click To Select a File";

std::string Trimmed(const std::string& s) {
    auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

}  // namespace

Buffers::Buffers(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.Erase_button.onClick = [this] { Erase_button_Click(); };
    f.menuEraseCode.onClick = [this] { Erase_button_Click(); };
    f.menuEraseData.onClick = [this] { EraseDataBuffer(); };
    f.mnuFileOpenCode.onClick = [this] { mnuFileOpenCode_Click(); };
    f.mnuFileSaveCode.onClick = [this] { mnuFileSaveCode_Click(); };
    f.mnuFileSaveCodeAs.onClick = [this] { mnuFileSaveCodeAs_Click(); };
    f.mnuFileOpenData.onClick = [this] { mnuFileOpenData_Click(); };
    f.mnuFileSaveData.onClick = [this] { mnuFileSaveData_Click(); };
    f.mnuFileSaveDataAs.onClick = [this] { mnuFileSaveDataAs_Click(); };
    f.FileNameCodeText.onClick = [this] { FileNameCodeText_Click(); };
    f.tbToolBar.onButtonClick = [this](const std::string& key) { tbToolBar_ButtonClick(key); };
}

// The toolbar's buttons are all file commands; any other key (the separator) does nothing.
void Buffers::tbToolBar_ButtonClick(const std::string& key) {
    if (key == "OpenCode") {
        mnuFileOpenCode_Click();
    } else if (key == "OpenData") {
        mnuFileOpenData_Click();
    } else if (key == "SaveCode") {
        mnuFileSaveCode_Click();
    } else if (key == "SaveData") {
        mnuFileSaveData_Click();
    }
}

void Buffers::Erase_button_Click() {
    if (p_.form.CheckCode.value == 1) EraseCodeBuffer();
    if (p_.form.CheckData.value == 1) EraseDataBuffer();
}

void Buffers::EraseCodeBuffer() {
    std::fill(CodeBuffer.begin(), CodeBuffer.begin() + kCodeEraseLast + 1, std::uint8_t{0xFF});
    AfterErase(true);
}

void Buffers::EraseDataBuffer() {
    std::fill(DataBuffer.begin(), DataBuffer.begin() + kDataEraseLast + 1, std::uint8_t{0xFF});
    AfterErase(false);
}

void Buffers::AfterErase(bool code) {
    auto& f = p_.form;
    f.Verify_button.enabled = false;
    f.Program_button.enabled = false;
    (code ? f.menuVerifyCode : f.menuVerifyData).enabled = false;
    (code ? f.menuProgramCode : f.menuProgramData).enabled = false;
    p_.log.AddLogLine("Buffer has been Erased");
    p_.display.DisplaySource = "Read";
    p_.display.DisplayPageMemory();
}

void Buffers::mnuFileOpenCode_Click() {
    p_.lamps.ErrorLampOff();
    p_.lamps.DataFlowLampOff();
    p_.display.DisplaySource = "Read";
    std::string name = p_.svc.dialogs.FileDialog(platform::FileDialogMode::Open, "Open Code File",
                                                 kAllFiles);
    if (name.empty()) return;
    LoadCodeFile(name);
}

void Buffers::mnuFileOpenData_Click() {
    p_.lamps.ErrorLampOff();
    p_.lamps.DataFlowLampOff();
    p_.display.DisplaySource = "Read";
    std::string name = p_.svc.dialogs.FileDialog(platform::FileDialogMode::Open, "Open Data File (eeprom)",
                                                 kAllFiles);
    if (name.empty()) return;
    LoadDataFile(name);
}

void Buffers::ReadBinaryFile() { LoadCodeFile(CodeFileName); }

void Buffers::ReadBinaryFileData() { LoadDataFile(DataFileName); }

void Buffers::mnuFileSaveCode_Click() { SaveCode(false, "Save CODE BUFFER ..."); }
void Buffers::mnuFileSaveCodeAs_Click() { SaveCode(true, "Save CODE BUFFER As..."); }
void Buffers::mnuFileSaveData_Click() { SaveData(false, "Save DATA Buffer ..."); }
void Buffers::mnuFileSaveDataAs_Click() { SaveData(true, "Save DATA Buffer As..."); }

void Buffers::FileNameCodeText_Click() {
    if (Trimmed(p_.form.FileNameCodeText.caption) == kNoFileCaption) mnuFileOpenCode_Click();
}

void Buffers::SetToolButtonEnabled(const std::string& key, bool enabled) {
    for (auto& b : p_.form.tbToolBar.buttons)
        if (b.key == key) b.enabled = enabled;
}

}  // namespace moltrix::buffers
