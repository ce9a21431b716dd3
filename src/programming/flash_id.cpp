#include "programming/flash_id.h"

#include <array>
#include <cstdio>

#include "shell/programmer.h"

namespace moltrix::programming {
namespace {

constexpr int kModeChangeMs = 20;

struct KnownCode {
    const char* id;
    const char* name;
};
constexpr std::array<KnownCode, 12> kKnownCodes{{
    {"1C04", "EON EN29F040 Flash Memory"},
    {"0120", "AMD am29F010 Flash Memory"},
    {"01A4", "AMD am29F040 Flash Memory"},
    {"3786", "AMIC A29040 Flash Memory"},
    {"37A4", "AMIC A29010 Flash Memory"},
    {"1F5B", "ATMEL 29C040 Flash Memory"},
    {"1FA4", "ATMEL 29C040A Flash Memory"},
    {"1FDA", "ATMEL 29C020 Flash Memory"},
    {"1F25", "ATMEL 29C1024 Flash Memory"},
    {"1FD5", "ATMEL 29C010 Flash Memory"},
    {"1F5D", "ATMEL 29C512 Flash Memory"},
    {"1FDC", "ATMEL 29C256 Flash Memory"},
}};

std::string TwoHexDigits(unsigned v) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", v & 0xFF);
    return text;
}

}  // namespace

FlashIdentity::FlashIdentity(Programmer& p) : p_(p) {
    p_.form.menuFlashShowCodeID.onClick = [this] { menuFlashShowCodeID_Click(); };
    p_.selection.probeFlashId = [this] { ProbeFlashId(); };
}

std::string FlashIdentity::KnownChipName(const std::string& flashId) {
    for (const KnownCode& c : kKnownCodes)
        if (flashId == c.id) return c.name;
    return {};
}

bool FlashIdentity::MakerAccepted() const {
    return FlashMaker == 0x37 || FlashMaker == 0x01 || FlashMaker == 0x1C || FlashMaker == 0x1F;
}

// The 28-pin command path leaves register 4 driving the data lines, its
// shadow too: on the AT29C256 it is released before OE goes active, or the
// chip and the board drive the lines together and the reads are noise.
void FlashIdentity::ReadEnable() {
    if (p_.selection.DeviceType == "FA") p_.regs.REG4OFF();
    p_.addr.CEOEON();
}

void FlashIdentity::ReadAtAddress() {
    p_.addr.SETADR_FLASH();
    p_.addr.GetNibbles();
}

void FlashIdentity::ReadFlashId() {
    if (p_.selection.DeviceFamily != "F") return;
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.flashBus;
    r.Reset();
    r.LedOn();
    a.OEOFF();
    cmd.FlashCmd = 0x90;
    cmd.FlashCommand();
    ReadEnable();
    r.REG4OFF();
    p_.svc.clock.Sleep(kModeChangeMs);
    ReadAtAddress();
    FlashMaker = a.DataIn;
    a.IncADR();
    ReadAtAddress();
    FlashDevice = a.DataIn;
    a.OEOFF();

    cmd.FlashCmd = 0xF0;
    cmd.FlashCommand();
    p_.svc.clock.Sleep(kModeChangeMs);
    p_.svc.clock.Sleep(kModeChangeMs);
    a.AdrLow = a.AdrMid = a.AdrHigh = 0;  // Address itself keeps its count
    ReadEnable();
    ReadAtAddress();
    ReadModeId = TwoHexDigits(a.DataIn);
    a.IncADR();
    ReadAtAddress();
    a.CEOEOFF();
    ReadModeId += TwoHexDigits(a.DataIn);

    FlashId = TwoHexDigits(static_cast<unsigned>(FlashMaker)) + TwoHexDigits(static_cast<unsigned>(FlashDevice));
    if (FlashId == ReadModeId) p_.log.AddLogLine("*** Not a Flash Unit, Address 00&01 = FlashCode ***");
    const std::string name = KnownChipName(FlashId);
    p_.log.AddLogLine("Device ID# " + FlashId + " - " + (name.empty() ? " Not Valid!!!" : name));
    r.LedOff();
}

void FlashIdentity::ProbeFlashId() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.flashBus;
    cmd.FlashCmd = 0x90;
    cmd.FlashCommand();
    p_.svc.clock.Sleep(kModeChangeMs);
    ReadEnable();
    r.REG4OFF();
    ReadAtAddress();
    a.IncADR();
    ReadAtAddress();
    a.OEOFF();
    cmd.FlashCmd = 0xF0;
    cmd.FlashCommand();
    p_.svc.clock.Sleep(kModeChangeMs);
}

void FlashIdentity::menuFlashShowCodeID_Click() {
    p_.log.AddLogLine("Reading Flash Code ID_________________ wait");
    ReadFlashId();
}

}  // namespace moltrix::programming
