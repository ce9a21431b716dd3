#pragma once
// Every control of the main window, its menus and its toolbar, as plain data.
// Captions and tool tips are those of the window design; start-up and the
// subsystems change them from there.
#include <deque>
#include <string>
#include <vector>

#include "form/controls.h"

namespace moltrix::form {

enum class WindowState { Normal, Minimized, Maximized };

struct WindowGeometry {
    // Outer position and size on the screen, in twips (15 twips per pixel at 96 dpi).
    double left = 0, top = 0, width = 0, height = 0;
    WindowState state = WindowState::Normal;
};

struct MainForm {
    MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    std::string title;
    // The designed client area, in twips.
    static constexpr int kClientWidthTwips = 10545;
    static constexpr int kClientHeightTwips = 6825;
    WindowGeometry geometry;

    // "Select Device"
    Frame Frame2{"Frame2", Kind::Frame, "", "Select Device"};
    ComboBox Device{"Device", Kind::ComboBox, "Frame2"};
    Label PleaseSelect{"PleaseSelect", Kind::Label, "Frame2", "Please  Select Device"};

    // "LPT Port Selection"
    Frame Frame4{"Frame4", Kind::Frame, "", "LPT Port Selection"};
    OptionButton LPTSelection0{"LPTSelection(0)", Kind::Option, "Frame4", "378h"};
    OptionButton LPTSelection1{"LPTSelection(1)", Kind::Option, "Frame4", "278h"};
    OptionButton LPTSelection2{"LPTSelection(2)", Kind::Option, "Frame4", "3BCh"};
    OptionGroup LPTSelection;
    TextBox PortSelected{"PortSelected", Kind::TextBox, "Frame4"};

    // Hardware frame
    Frame Frame9{"Frame9", Kind::Frame, "", ""};
    Label MoltrixHardwareFound{"MoltrixHardwareFound", Kind::Label, "Frame9", "NO HARDWARE FOUND !!!"};
    Button TestHardware_button{"TestHardware_button", Kind::Button, "Frame9", "TestPort",
                               "Test Communication LPT port"};
    Button EraseFlash_button{"EraseFlash_button", Kind::Button, "Frame9", "Erase Chip",
                             "Erase Flash or Eeprom"};
    Button Show_button{"Show_button", Kind::Button, "Frame9", "Show Data"};

    // Operation buttons
    Button Read_button{"Read_button", Kind::Button, "", "Read ", "Read Whole Device to Buffer"};
    Button Blank_button{"Blank_button", Kind::Button, "", "Blank Chk", "Check Device for Blank (Erased)"};
    Button Display_button{"Display_button", Kind::Button, "", "Display",
                          "Display Device's contents on Screen"};
    Button Program_button{"Program_button", Kind::Button, "", "Program", "Program Device with Buffer Data"};
    Button Verify_button{"Verify_button", Kind::Button, "", "Verify", "Verify (Compare) Device with File"};
    Button Erase_button{"Erase_button", Kind::Button, "", "Erase Buffer", "Erase Buffer to all \"FF\""};
    Button VerifyButton{"VerifyButton", Kind::Button, "", "Verify"};
    Button Command1{"Command1", Kind::Button, "", "Command1"};
    Frame Frame8{"Frame8", Kind::Frame, "", "Buffer"};
    CheckBox CheckCode{"CheckCode", Kind::CheckBox, "Frame8", "Code"};
    CheckBox CheckData{"CheckData", Kind::CheckBox, "Frame8", "Data"};

    // Programming options
    Frame FrameVoltageSelection{"FrameVoltageSelection", Kind::Frame, "", "Select Device Programming Voltage"};
    OptionButton Voltage_button0{"Voltage_button(0)", Kind::Option, "FrameVoltageSelection", "5V"};
    OptionButton Voltage_button1{"Voltage_button(1)", Kind::Option, "FrameVoltageSelection", "12.5V",
                                 "Most CMOS actual Eproms use this Programming Voltage."};
    OptionButton Voltage_button2{"Voltage_button(2)", Kind::Option, "FrameVoltageSelection", "21V",
                                 "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms."};
    OptionButton Voltage_button3{"Voltage_button(3)", Kind::Option, "FrameVoltageSelection", "25V",
                                 "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms."};
    OptionGroup Voltage_button;
    Frame Frame7{"Frame7", Kind::Frame, "", "Hi / Low Byte Programming", "All Bytes, Even Bytes or Odd Bytes"};
    OptionButton HiLow_button0{"HiLow_button(0)", Kind::Option, "Frame7", "Both"};
    OptionButton HiLow_button1{"HiLow_button(1)", Kind::Option, "Frame7", "Hi Byte"};
    OptionButton HiLow_button2{"HiLow_button(2)", Kind::Option, "Frame7", "Low Byte"};
    OptionGroup HiLow_button;
    Frame Frame5{"Frame5", Kind::Frame, "", "Optional Auto Operations"};
    CheckBox CheckBlankPriorProgramming{"CheckBlankPriorProgramming", Kind::CheckBox, "Frame5",
                                        "Check Blank Before Programming"};
    CheckBox VerifyAfterProgramming{"VerifyAfterProgramming", Kind::CheckBox, "Frame5",
                                    "Verify Device After Programming"};
    Label SpeedLabel{"SpeedLabel", Kind::Label, "", "Program Speed"};
    Slider Slider1{"Slider1", Kind::Slider, "", "", "Slow Down or Speed Up Programming Speed"};

    // Lamps
    Label Ready_label{"Ready_label", Kind::Label, "", "NotReady"};
    Label Error_label{"Error_label", Kind::Label, "", "ERROR"};
    Label Program_label{"Program_label", Kind::Label, "", "Program"};
    Label DataFlow_label{"DataFlow_label", Kind::Label, "", "DataFlow"};

    // File labels
    Label FileNameCodeLabel{"FileNameCodeLabel", Kind::Label, "", "File Name (Code):"};
    Label FileNameCodeText{"FileNameCodeText", Kind::Label, "", "Click To Select a File"};
    Label FileNameCodeSize{"FileNameCodeSize", Kind::Label, "", "(0 Bytes)"};
    Label FileNameDataLabel{"FileNameDataLabel", Kind::Label, "", "File Name (Data):"};
    Label FileNameDataText{"FileNameDataText", Kind::Label, "", "Click To Select a File"};
    Label FileNameDataSize{"FileNameDataSize", Kind::Label, "", "(0 Bytes)"};

    // "File Hex Display"
    Frame Frame3{"Frame3", Kind::Frame, "", "File Hex Display"};
    TextBox BufferDisplay{"BufferDisplay", Kind::TextBox, "Frame3", "",
                          "Double Click to Save to Moltrix.Buf file"};
    ScrollBar VScroll1{"VScroll1", Kind::ScrollBar, "Frame3"};

    // "System Log"
    Frame Frame6{"Frame6", Kind::Frame, "", "System Log"};
    TextBox SystemLog{"SystemLog", Kind::TextBox, "Frame6", "", "Double Click to Save to Moltrix.Log file"};

    // Window edges
    Toolbar tbToolBar{"tbToolBar", Kind::Toolbar};
    StatusBar sbStatusBar{"sbStatusBar", Kind::StatusBar};
    ProgressBar ProgressBar1{"ProgressBar1", Kind::ProgressBar};
    Timer Timer1{"Timer1", Kind::Timer};

    // Menus
    MenuItem mnuFile, mnuFileOpenCode, mnuFileSaveCode, mnuFileSaveCodeAs, mnuCommandBar3,
        mnuFileOpenData, mnuFileSaveData, mnuFileSaveDataAs, mnuCommandBar4, mnuFileClose, mnuFileExit;
    MenuItem mnuTools, mnuToolsOptions, mnuToolsDatasheetPulse;
    MenuItem menuCommand, menuBlankCheck, menuProgramCode, menuReadCode, menuVerifyCode, menuProgramData,
        menuReadData, menuVerifyData, menuDisplayCode, menuDisplayData, menuEraseCode, menuEraseData,
        menuEraseFlash, menuTestHardware, menuFlashShowCodeID;
    MenuItem Setup, LoadSetup, LoadSetup1, LoadSetup2, LoadSetup3, LoadSetup4, SaveSetup, SaveSetup1,
        SaveSetup2, SaveSetup3, SaveSetup4, ForceMoltrix4, ForceMoltrix5, ForceMoltrix6, LoopFlashTest,
        ResetFlash;
    MenuItem mnuHelp, mnuHelpContents, mnuHelpSearchForHelpOn, mnuHelpBar0, mnuHelpAbout;

    // The top-level menus, in menu-bar order.
    std::vector<MenuItem*> menuBar;
    // Every control, in design order (frames before what they hold).
    std::vector<Control*> controls;

private:
    std::deque<MenuItem> separators_;  // unnamed separator lines
    MenuItem* Separator();
};

}  // namespace moltrix::form
