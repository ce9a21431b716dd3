#pragma once
// The setup file: 19 lines of key + value, each ended by CR LF, always in the
// same order. The four voltage keys are spelt with a lower-case "value"; truth
// values are the words True and False, numbers are plain decimals.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::setups {

// What a setup records, in file order.
struct SetupRecord {
    std::string name;
    std::string codeFile;
    int deviceIndex = -1;
    std::array<bool, 4> voltage{};
    int checkBlank = 0, verifyAfter = 0;
    std::array<bool, 3> lpt{};
    std::string portText;
    std::array<bool, 3> hiLow{};
    int slider = 0;
    int checkCode = 0, checkData = 0;
};

std::string WriteSetupFile(const SetupRecord& r);

// The control a setup line sets.
enum class SetupKey {
    CodeFile, DeviceIndex, Voltage, CheckBlank, VerifyAfter, Lpt, PortText, HiLow, Slider, CheckCode, CheckData
};

// One line that matched a key, with its value already converted.
struct SetupEntry {
    SetupKey key;
    int index = 0;        // the option's index for Voltage, Lpt and HiLow
    std::string text;     // CodeFile, PortText
    bool truth = false;   // Voltage, Lpt, HiLow
    int number = 0;       // DeviceIndex, CheckBlank, VerifyAfter, Slider, CheckCode, CheckData
    int lineNumber = 0;   // counting from 1
    bool valid = true;    // false: the key matched but the value is no truth value or number
    std::string line;     // the whole line, for the log
};


// Matches each line against the keys, letter case included; lines that match
// no key (the name line among them) are left out; the rest come in line order.
std::vector<SetupEntry> ParseSetupFile(std::string_view content);

// The name a setup file's first line carries, or empty.
std::string SetupNameOf(std::string_view content);

}  // namespace moltrix::setups
