#include "programming/flash_commands.h"

#include "programming/chip_timing.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::uint8_t kRegister3Idle = 0x84;  // CE inactive, register 4 driving, WE high
constexpr std::uint8_t kRegister3Select = 0x04;
constexpr std::uint8_t kRegister3WeLow = 0x00;
constexpr std::uint8_t kProgramCommand = 0xA0;
}  // namespace

FlashCommands::FlashCommands(Programmer& p) : p_(p) {
    p_.form.ResetFlash.onClick = [this] { ResetFlash_Click(); };
    p_.form.LoopFlashTest.onClick = [this] { LoopFlashTest_Click(); };
}

void FlashCommands::DirectLatch(int n, std::uint8_t value) {
    auto& r = p_.regs;
    const auto i = static_cast<std::size_t>(n);
    r.OutData(value);
    r.OutControl(static_cast<std::uint8_t>(r.StrobePulse[i]));
    r.OutControl(static_cast<std::uint8_t>(r.StrobeIdle[i]));
}

// The unlock sequence is the most timing-critical traffic of the program: all
// 22 latches go out back to back, past the shadows, which no longer match the
// board until each register is next set.
void FlashCommands::FlashCommand() {
    if (p_.selection.DeviceType == "FA") {
        CommandAT29C256();
        return;
    }
    p_.addr.OEOFF();
    DirectLatch(3, kRegister3Idle);
    const auto cycle = [this](std::uint8_t data, std::uint8_t high, std::uint8_t low) {
        DirectLatch(4, data);
        DirectLatch(1, high);
        DirectLatch(2, low);
        DirectLatch(3, kRegister3Select);
        DirectLatch(3, kRegister3WeLow);
        DirectLatch(3, kRegister3Select);
        DirectLatch(3, kRegister3Idle);
    };
    cycle(0xAA, 0x55, 0x55);
    cycle(0x55, 0x2A, 0xAA);
    cycle(static_cast<std::uint8_t>(FlashCmd), 0x55, 0x55);
}

void FlashCommands::CommandAT29C256() {
    auto& r = p_.regs;
    p_.addr.OEOFF();
    r.Reg3 = 0x82;
    r.SetReg3();
    const ByteLoadWindow load(r);
    for (const auto& [data, address] : {std::pair<std::int16_t, std::uint16_t>{0xAA, 0x5555}, {0x55, 0x2AAA},
                                       {FlashCmd, 0x5555}}) {
        r.Reg4 = data;
        CmdAddress = address;
        WriteCycleAT29C256();
    }
}

void FlashCommands::WriteCycleAT29C256() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    r.Reg1 = static_cast<std::int16_t>((CmdAddress / 256) | a.Reg1Extra);
    r.Reg2 = static_cast<std::int16_t>(CmdAddress % 256);
    r.SetReg1();
    r.SetReg2();
    r.SetReg4();
    a.CEON();
    r.Reg1 &= 0x7F;  // write-enable low: register-1 bit 7 on this part
    r.SetReg1();
    r.Reg1 |= 0x80;
    r.SetReg1();
    a.CEOFF();
}

void FlashCommands::FlashWeLow() {
    auto& r = p_.regs;
    const auto& a = p_.addr;
    r.Reg3 = static_cast<std::int16_t>((a.AdrMapHigh[static_cast<std::size_t>(a.AdrHigh & 0xFF)] | a.Reg3Extra | r.Reg3) &
                                       0xFB);
    r.SetReg3();
}

void FlashCommands::FlashWeHigh() {
    auto& r = p_.regs;
    const auto& a = p_.addr;
    r.Reg3 = static_cast<std::int16_t>(r.Reg3 | a.AdrMapHigh[static_cast<std::size_t>(a.AdrHigh & 0xFF)] | a.Reg3Extra |
                                       0x04);
    r.SetReg3();
}

void FlashCommands::ProgramFlashByte() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    FlashCmd = kProgramCommand;
    FlashCommand();
    a.Endereco2Adr();
    p_.program.DataOut = p_.image.At(a.Address);
    r.Reg4 = p_.program.DataOut;
    r.SetReg4();
    a.SETADR_FLASH();
    a.CEON();
    FlashWeLow();
    FlashWeHigh();
    a.CEOFF();
}

void FlashCommands::ResetFlash_Click() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    a.CEOFF();
    a.OEOFF();
    r.Reg4 = 0xF0;
    r.SetReg4();
    FlashWeLow();
    a.CEON();
    a.CEOFF();
    FlashWeHigh();
}

void FlashCommands::LoopFlashTest_Click() {
    const int repeats = p_.form.Slider1.value * 1000;
    for (int i = 0; i < repeats; ++i) {
        ProgramFlashByte();
        p_.svc.clock.Spin(10000);
    }
}

}  // namespace moltrix::programming
