// Setup files as the operator restores them. Besides the sanitizers: the
// values read, saved as a setup and read again, must come back the same, all
// 18 keys of them, and the name with them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "setups/setup_file.h"

namespace {

using namespace moltrix::setups;

// What a saved text value becomes: line ends turn into blanks.
std::string Saved(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

SetupRecord RecordOf(const std::vector<SetupEntry>& entries, std::string name) {
    SetupRecord r;
    r.name = std::move(name);
    for (const SetupEntry& e : entries) {
        if (!e.valid) continue;
        const auto i = static_cast<std::size_t>(e.index);
        switch (e.key) {
            case SetupKey::CodeFile: r.codeFile = e.text; break;
            case SetupKey::DeviceIndex: r.deviceIndex = e.number; break;
            case SetupKey::Voltage: r.voltage.at(i) = e.truth; break;
            case SetupKey::CheckBlank: r.checkBlank = e.number; break;
            case SetupKey::VerifyAfter: r.verifyAfter = e.number; break;
            case SetupKey::Lpt: r.lpt.at(i) = e.truth; break;
            case SetupKey::PortText: r.portText = e.text; break;
            case SetupKey::HiLow: r.hiLow.at(i) = e.truth; break;
            case SetupKey::Slider: r.slider = e.number; break;
            case SetupKey::CheckCode: r.checkCode = e.number; break;
            case SetupKey::CheckData: r.checkData = e.number; break;
        }
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<SetupEntry> entries = ParseSetupFile(text);
    int previous = 0;
    for (const SetupEntry& e : entries) {
        if (e.lineNumber <= previous) __builtin_trap();
        previous = e.lineNumber;
    }

    const SetupRecord r = RecordOf(entries, SetupNameOf(text));
    const std::string saved = WriteSetupFile(r);
    if (SetupNameOf(saved) != Saved(r.name)) __builtin_trap();
    const std::vector<SetupEntry> back = ParseSetupFile(saved);
    if (back.size() != 18) __builtin_trap();
    for (const SetupEntry& e : back)
        if (!e.valid) __builtin_trap();
    const SetupRecord got = RecordOf(back, Saved(r.name));
    if (got.codeFile != Saved(r.codeFile) || got.portText != Saved(r.portText) || got.deviceIndex != r.deviceIndex ||
        got.voltage != r.voltage || got.checkBlank != r.checkBlank || got.verifyAfter != r.verifyAfter ||
        got.lpt != r.lpt || got.hiLow != r.hiLow || got.slider != r.slider || got.checkCode != r.checkCode ||
        got.checkData != r.checkData)
        __builtin_trap();
    return 0;
}
