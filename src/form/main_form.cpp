#include "form/main_form.h"

namespace moltrix::form {
namespace {

void Init(MenuItem& m, const char* name, const char* caption, bool enabled = true) {
    m.name = name;
    m.caption = caption;
    m.enabled = enabled;
}

void InitSeparator(MenuItem& m, const char* name) {
    m.name = name;
    m.separator = true;
}

}  // namespace

MenuItem* MainForm::Separator() {
    auto& s = separators_.emplace_back();
    s.name = "-";
    s.separator = true;
    return &s;
}

MainForm::MainForm() {
    LPTSelection.items = {&LPTSelection0, &LPTSelection1, &LPTSelection2};
    Voltage_button.items = {&Voltage_button0, &Voltage_button1, &Voltage_button2, &Voltage_button3};
    HiLow_button.items = {&HiLow_button0, &HiLow_button1, &HiLow_button2};
    for (OptionGroup* g : {&LPTSelection, &Voltage_button, &HiLow_button})
        for (std::size_t i = 0; i < g->items.size(); ++i) {
            g->items[i]->group = g;
            g->items[i]->index = static_cast<int>(i);
        }

    Device.text = "Please Select Device on this List";
    HiLow_button0.value = true;
    Slider1.min = 1;
    Slider1.max = 20;
    Slider1.smallChange = 1;
    Slider1.largeChange = 5;
    Slider1.value = 18;
    PortSelected.text = "None";
    BufferDisplay.multiLine = true;
    SystemLog.multiLine = true;
    Timer1.visible = false;

    // Only "TestPort" and "Command1" are usable before a device is chosen.
    for (Button* b : {&EraseFlash_button, &Show_button, &Read_button, &Blank_button, &Display_button,
                      &Program_button, &Verify_button, &Erase_button})
        b->enabled = false;
    for (Control* c : {static_cast<Control*>(&FrameVoltageSelection), static_cast<Control*>(&Frame5),
                       static_cast<Control*>(&CheckBlankPriorProgramming),
                       static_cast<Control*>(&VerifyAfterProgramming)})
        c->visible = false;
    for (auto* v : Voltage_button.items) v->enabled = false;

    tbToolBar.buttons = {
        {"OpenCode", "Open", "Open File into Code Buffer", true, true, false},
        {"SaveCode", "Save", "Save Code Buffer Into File", false, true, false},
        {"", "", "", true, false, true},
        {"OpenData", "Open", "Open File into Data Buffer", false, false, false},
        {"SaveData", "Save", "Save Data Buffer into File", false, false, false},
    };

    Init(mnuFile, "mnuFile", "&File");
    Init(mnuFileOpenCode, "mnuFileOpenCode", "&Open Code...");
    Init(mnuFileSaveCode, "mnuFileSaveCode", "&Save Code", false);
    Init(mnuFileSaveCodeAs, "mnuFileSaveCodeAs", "Save Code &As...", false);
    InitSeparator(mnuCommandBar3, "mnuCommandBar3");
    Init(mnuFileOpenData, "mnuFileOpenData", "Open Data...", false);
    Init(mnuFileSaveData, "mnuFileSaveData", "Save Data", false);
    Init(mnuFileSaveDataAs, "mnuFileSaveDataAs", "Save Data As...", false);
    InitSeparator(mnuCommandBar4, "mnuCommandBar4");
    Init(mnuFileClose, "mnuFileClose", "&Close");
    Init(mnuFileExit, "mnuFileExit", "E&xit");
    mnuFile.children = {&mnuFileOpenCode, &mnuFileSaveCode, &mnuFileSaveCodeAs, &mnuCommandBar3,
                        &mnuFileOpenData, &mnuFileSaveData, &mnuFileSaveDataAs, &mnuCommandBar4,
                        &mnuFileClose,    &mnuFileExit};

    Init(mnuTools, "mnuTools", "&Tools");
    Init(mnuToolsOptions, "mnuToolsOptions", "&Options...");
    Init(mnuToolsDatasheetPulse, "mnuToolsDatasheetPulse", "Datasheet Pulse Width");
    mnuToolsDatasheetPulse.checkable = true;
    mnuTools.children = {&mnuToolsOptions, &mnuToolsDatasheetPulse};

    Init(menuCommand, "menuCommand", "&Command");
    Init(menuBlankCheck, "menuBlankCheck", "Blank Check Device for Erased", false);
    Init(menuProgramCode, "menuProgramCode", "Program Device Code", false);
    Init(menuReadCode, "menuReadCode", "Read Device Code", false);
    Init(menuVerifyCode, "menuVerifyCode", "Verify Device Code", false);
    Init(menuProgramData, "menuProgramData", "Program Device Data", false);
    Init(menuReadData, "menuReadData", "Read Device Data", false);
    Init(menuVerifyData, "menuVerifyData", "Verify Device Data", false);
    Init(menuDisplayCode, "menuDisplayCode", "Display Device CODE", false);
    Init(menuDisplayData, "menuDisplayData", "Display Device DATA", false);
    Init(menuEraseCode, "menuEraseCode", "Erase CODE Buffer (\"FF\") ", false);
    Init(menuEraseData, "menuEraseData", "Erase DATA Buffer (\"FF\") ", false);
    Init(menuEraseFlash, "menuEraseFlash", "Erase Device Flash Memory", false);
    Init(menuTestHardware, "menuTestHardware", "Test LPT Ports");
    // Keys for the commands an operator runs most, the same on every layout.
    mnuFileOpenCode.shortcut = "Ctrl+O";
    mnuFileSaveCode.shortcut = "Ctrl+S";
    menuReadCode.shortcut = "F5";
    menuBlankCheck.shortcut = "F6";
    menuProgramCode.shortcut = "F7";
    menuVerifyCode.shortcut = "F8";
    Init(menuFlashShowCodeID, "menuFlashShowCodeID", "Show Flash Code ID#", false);
    menuCommand.children = {&menuBlankCheck,   Separator(),         &menuProgramCode,  &menuReadCode,
                            &menuVerifyCode,   Separator(),         &menuProgramData,  &menuReadData,
                            &menuVerifyData,   Separator(),         &menuDisplayCode,  &menuDisplayData,
                            Separator(),       &menuEraseCode,      &menuEraseData,    &menuEraseFlash,
                            Separator(),       &menuTestHardware,   Separator(),       &menuFlashShowCodeID};

    Init(Setup, "Setup", "&Setup");
    Init(LoadSetup, "LoadSetup", "&Load Setup");
    Init(LoadSetup1, "LoadSetup1", "Load Setup #&1", false);
    Init(LoadSetup2, "LoadSetup2", "Load Setup #&2", false);
    Init(LoadSetup3, "LoadSetup3", "Load Setup #&3", false);
    Init(LoadSetup4, "LoadSetup4", "Load Setup #&4", false);
    LoadSetup.children = {&LoadSetup1, &LoadSetup2, &LoadSetup3, &LoadSetup4};
    Init(SaveSetup, "SaveSetup", "&Save Setup");
    Init(SaveSetup1, "SaveSetup1", "Save Setup #&1");
    Init(SaveSetup2, "SaveSetup2", "Save Setup #&2");
    Init(SaveSetup3, "SaveSetup3", "Save Setup #&3");
    Init(SaveSetup4, "SaveSetup4", "Save Setup #&4");
    SaveSetup.children = {&SaveSetup1, &SaveSetup2, &SaveSetup3, &SaveSetup4};
    Init(ForceMoltrix4, "ForceMoltrix4", "Force Set MOLTRIX-4");
    Init(ForceMoltrix5, "ForceMoltrix5", "Force Set MOLTRIX-5");
    Init(ForceMoltrix6, "ForceMoltrix6", "Force Set MOLTRIX-6");
    Init(LoopFlashTest, "LoopFlashTest", "LoopFlashTest", false);
    Init(ResetFlash, "ResetFlash", "ResetFlash", false);
    Setup.children = {&LoadSetup,     Separator(),    &SaveSetup,     Separator(),   &ForceMoltrix4,
                      &ForceMoltrix5, &ForceMoltrix6, Separator(),    &LoopFlashTest, &ResetFlash};

    Init(mnuHelp, "mnuHelp", "&Help");
    Init(mnuHelpContents, "mnuHelpContents", "&Contents");
    Init(mnuHelpSearchForHelpOn, "mnuHelpSearchForHelpOn", "&Search For Help On...");
    InitSeparator(mnuHelpBar0, "mnuHelpBar0");
    Init(mnuHelpAbout, "mnuHelpAbout", "&About ");
    mnuHelp.children = {&mnuHelpContents, &mnuHelpSearchForHelpOn, &mnuHelpBar0, &mnuHelpAbout};

    menuBar = {&mnuFile, &mnuTools, &menuCommand, &Setup, &mnuHelp};

    controls = {&Frame2,         &Device,          &PleaseSelect,   &Frame4,
                &LPTSelection0,  &LPTSelection1,   &LPTSelection2,  &PortSelected,
                &Frame9,         &MoltrixHardwareFound, &TestHardware_button, &EraseFlash_button,
                &Show_button,    &Read_button,     &Blank_button,   &Display_button,
                &Program_button, &Verify_button,   &Erase_button,   &VerifyButton,
                &Command1,       &Frame8,          &CheckCode,      &CheckData,
                &FrameVoltageSelection, &Voltage_button0, &Voltage_button1, &Voltage_button2,
                &Voltage_button3, &Frame7,         &HiLow_button0,  &HiLow_button1,
                &HiLow_button2,  &Frame5,          &CheckBlankPriorProgramming, &VerifyAfterProgramming,
                &SpeedLabel,     &Slider1,         &Ready_label,    &Error_label,
                &Program_label,  &DataFlow_label,  &FileNameCodeLabel, &FileNameCodeText,
                &FileNameCodeSize, &FileNameDataLabel, &FileNameDataText, &FileNameDataSize,
                &Frame3,         &BufferDisplay,   &VScroll1,       &Frame6,
                &SystemLog,      &tbToolBar,       &sbStatusBar,    &ProgressBar1,
                &Timer1};
}

}  // namespace moltrix::form
