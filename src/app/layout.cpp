#include "layout.h"

#include <map>

namespace moltrix::app {
namespace {

// Two columns below the toolbar. Left: the file names, the hex display, the
// system log, the progress bar and the lamps. Right: device, port and hardware
// frames, the operation buttons, the programming options and the speed slider.
const std::map<std::string, Placement>& Table() {
    static const std::map<std::string, Placement> table = {
        // File labels
        {"FileNameCodeLabel", {{4, 30, 98, 18}}},
        {"FileNameCodeText", {{104, 30, 286, 18}}},
        {"FileNameCodeSize", {{392, 30, 88, 18}}},
        {"FileNameDataLabel", {{4, 50, 98, 18}}},
        {"FileNameDataText", {{104, 50, 286, 18}}},
        {"FileNameDataSize", {{392, 50, 88, 18}}},

        // "File Hex Display": the program itself places it at top 72, 481 x 257.
        {"Frame3", {{0, 72, 481, 257}}},
        {"BufferDisplay", {{6, 18, 452, 233}, true}},
        {"VScroll1", {{459, 18, 17, 233}}},

        // "System Log"
        {"Frame6", {{0, 331, 481, 80}}},
        {"SystemLog", {{6, 17, 469, 57}}},

        // Bottom strip of the left column: progress bar and lamps.
        {"ProgressBar1", {{4, 414, 246, 16}}},
        {"Ready_label", {{256, 414, 56, 16}}},
        {"Error_label", {{312, 414, 56, 16}}},
        {"Program_label", {{368, 414, 56, 16}}},
        {"DataFlow_label", {{424, 414, 56, 16}}},

        // "Select Device"
        {"Frame2", {{485, 28, 216, 56}}},
        {"Device", {{6, 16, 204, 22}}},
        {"PleaseSelect", {{8, 39, 200, 14}}},

        // "LPT Port Selection"
        {"Frame4", {{485, 86, 216, 40}}},
        {"LPTSelection(0)", {{6, 16, 50, 20}}},
        {"LPTSelection(1)", {{56, 16, 50, 20}}},
        {"LPTSelection(2)", {{106, 16, 50, 20}}},
        {"PortSelected", {{158, 16, 52, 20}}},

        // Hardware frame
        {"Frame9", {{485, 128, 216, 58}}},
        {"MoltrixHardwareFound", {{6, 8, 204, 18}}},
        {"TestHardware_button", {{4, 28, 68, 24}}},
        {"EraseFlash_button", {{74, 28, 68, 24}}},
        {"Show_button", {{144, 28, 68, 24}}},

        // Operation buttons, three rows
        {"Read_button", {{485, 190, 70, 24}}},
        {"Blank_button", {{558, 190, 70, 24}}},
        {"Display_button", {{631, 190, 70, 24}}},
        {"Program_button", {{485, 216, 70, 24}}},
        {"Verify_button", {{558, 216, 70, 24}}},
        {"Erase_button", {{631, 216, 70, 24}}},
        {"VerifyButton", {{485, 244, 46, 24}}},
        {"Command1", {{533, 244, 62, 24}}},
        {"Frame8", {{597, 240, 104, 32}}},
        {"CheckCode", {{4, 16, 50, 15}}},
        {"CheckData", {{54, 16, 48, 15}}},

        // Programming options
        {"FrameVoltageSelection", {{485, 272, 216, 36}}},
        {"Voltage_button(0)", {{6, 16, 46, 18}}},
        {"Voltage_button(1)", {{54, 16, 54, 18}}},
        {"Voltage_button(2)", {{110, 16, 48, 18}}},
        {"Voltage_button(3)", {{160, 16, 50, 18}}},
        {"Frame7", {{485, 310, 216, 36}}},
        {"HiLow_button(0)", {{6, 16, 56, 18}}},
        {"HiLow_button(1)", {{64, 16, 68, 18}}},
        {"HiLow_button(2)", {{134, 16, 76, 18}}},
        {"Frame5", {{485, 348, 216, 52}}},
        {"CheckBlankPriorProgramming", {{6, 16, 204, 17}}},
        {"VerifyAfterProgramming", {{6, 33, 204, 17}}},
        {"SpeedLabel", {{487, 406, 80, 20}}},
        {"Slider1", {{568, 404, 133, 24}}},
    };
    return table;
}

}  // namespace

Placement DesignPlacement(const std::string& controlName) {
    const auto& table = Table();
    const auto it = table.find(controlName);
    return it == table.end() ? Placement{} : it->second;
}

}  // namespace moltrix::app
