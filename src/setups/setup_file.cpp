#include "setups/setup_file.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace moltrix::setups {
namespace {

constexpr std::string_view kNameKey = "SetupName = ";

struct KeyText {
    std::string_view text;
    SetupKey key;
    int index;
};

// Every key a restore applies, with the control and option index it sets.
constexpr KeyText kKeys[] = {
    {"sFILE = ", SetupKey::CodeFile, 0},
    {"Device.Index = ", SetupKey::DeviceIndex, 0},
    {"Voltage_button(0).value = ", SetupKey::Voltage, 0},
    {"Voltage_button(1).value = ", SetupKey::Voltage, 1},
    {"Voltage_button(2).value = ", SetupKey::Voltage, 2},
    {"Voltage_button(3).value = ", SetupKey::Voltage, 3},
    {"CheckBlankPriorProgramming.Value = ", SetupKey::CheckBlank, 0},
    {"VerifyAfterProgramming.Value = ", SetupKey::VerifyAfter, 0},
    {"LPTSelection(0).Value = ", SetupKey::Lpt, 0},
    {"LPTSelection(1).Value = ", SetupKey::Lpt, 1},
    {"LPTSelection(2).Value = ", SetupKey::Lpt, 2},
    {"PortSelected.Text = ", SetupKey::PortText, 0},
    {"HiLow_button(0).Value = ", SetupKey::HiLow, 0},
    {"HiLow_button(1).Value = ", SetupKey::HiLow, 1},
    {"HiLow_button(2).Value = ", SetupKey::HiLow, 2},
    {"Slider1.Value = ", SetupKey::Slider, 0},
    {"CheckCode.Value = ", SetupKey::CheckCode, 0},
    {"CheckData.Value = ", SetupKey::CheckData, 0},
};

const char* Word(bool b) { return b ? "True" : "False"; }

// A text value must stay on its own line.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool ParseTruth(std::string_view s, bool& out) {
    s = Trim(s);
    if (EqualsIgnoringCase(s, "True")) out = true;
    else if (EqualsIgnoringCase(s, "False")) out = false;
    else return false;
    return true;
}

// A decimal number, rounded to a whole number (halves to even).
bool ParseNumber(std::string_view s, int& out) {
    s = Trim(s);
    if (s.empty()) return false;
    std::string text(s);
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v) || std::fabs(v) > 1e9) return false;
    // strtod also takes hexadecimal and "inf"; a setup holds plain decimals only.
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.')) return false;
    out = static_cast<int>(std::nearbyint(v));
    return true;
}

}  // namespace

std::string WriteSetupFile(const SetupRecord& r) {
    std::string t;
    auto line = [&t](std::string_view key, const std::string& value) {
        t += key;
        t += value;
        t += "\r\n";
    };
    line(kNameKey, OneLine(r.name));
    line(kKeys[0].text, OneLine(r.codeFile));
    line(kKeys[1].text, std::to_string(r.deviceIndex));
    for (int i = 0; i < 4; ++i) line(kKeys[2 + i].text, Word(r.voltage[static_cast<std::size_t>(i)]));
    line(kKeys[6].text, std::to_string(r.checkBlank));
    line(kKeys[7].text, std::to_string(r.verifyAfter));
    for (int i = 0; i < 3; ++i) line(kKeys[8 + i].text, Word(r.lpt[static_cast<std::size_t>(i)]));
    line(kKeys[11].text, OneLine(r.portText));
    for (int i = 0; i < 3; ++i) line(kKeys[12 + i].text, Word(r.hiLow[static_cast<std::size_t>(i)]));
    line(kKeys[15].text, std::to_string(r.slider));
    line(kKeys[16].text, std::to_string(r.checkCode));
    line(kKeys[17].text, std::to_string(r.checkData));
    return t;
}

std::vector<SetupEntry> ParseSetupFile(std::string_view content) {
    std::vector<SetupEntry> out;
    int number = 0;
    while (!content.empty()) {
        auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number;
        for (const auto& k : kKeys) {
            if (!line.starts_with(k.text)) continue;
            std::string_view value = line.substr(k.text.size());
            SetupEntry e{k.key, k.index, {}, false, 0, number, true, std::string(line)};
            bool& ok = e.valid;
            switch (k.key) {
                case SetupKey::CodeFile:
                case SetupKey::PortText:
                    e.text = std::string(value);
                    break;
                case SetupKey::Voltage:
                case SetupKey::Lpt:
                case SetupKey::HiLow:
                    ok = ParseTruth(value, e.truth);
                    break;
                default:
                    ok = ParseNumber(value, e.number);
                    break;
            }
            out.push_back(std::move(e));
            break;
        }
    }
    return out;
}

std::string SetupNameOf(std::string_view content) {
    std::string_view first = content.substr(0, content.find('\n'));
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    // The name is what follows "SetupName = ", from the 13th character on.
    return first.size() > kNameKey.size() ? std::string(first.substr(kNameKey.size())) : std::string();
}

}  // namespace moltrix::setups
