#include "board/registers.h"

#include "shell/programmer.h"

namespace moltrix::board {

Registers::Registers(Programmer& p) : p_(p) {}

void Registers::Spin(std::int32_t passes) const { p_.svc.clock.Spin(passes); }

void Registers::InitStrobeTables() {
    // Model 4: control bits 1-3 select the register, bit 0 is the strobe.
    Model4Codes.idle = {0x0A, 0x02, 0x08, 0x00, 0x0E};
    Model4Codes.pulse = {0x0B, 0x03, 0x09, 0x01, 0x0F};
    Model4Codes.nibbleLow = 0x00;
    Model4Codes.nibbleHigh = 0x04;
    // Models 5 and 6: the model-4 register codes with all four bits inverted;
    // the nibble-select codes follow their own wiring.
    Model56Codes.idle = {0x05, 0x0D, 0x07, 0x0F, 0x01};
    Model56Codes.pulse = {0x04, 0x0C, 0x06, 0x0E, 0x00};
    Model56Codes.nibbleLow = 0x05;
    Model56Codes.nibbleHigh = 0x01;
}

void Registers::SetPortBase(std::uint16_t base) {
    if (PortBase != 0 && PortBase != base) p_.svc.port.Release(PortBase);
    PortBase = base;
    PortStatus = static_cast<std::uint16_t>(base + 1);
    PortControl = static_cast<std::uint16_t>(base + 2);
}

void Registers::SetupPortModel() {
    SetPortBase(PortBase);
    const StrobeCodes* codes = BoardModel == 4 ? &Model4Codes
                               : (BoardModel == 5 || BoardModel == 6) ? &Model56Codes
                                                                       : nullptr;
    if (!codes) return;
    StrobeIdle = codes->idle;
    StrobePulse = codes->pulse;
    NibbleSelLow = codes->nibbleLow;
    NibbleSelHigh = codes->nibbleHigh;
}

void Registers::OutData(std::uint8_t v) { p_.svc.port.PortOut(PortBase, v); }
void Registers::OutControl(std::uint8_t v) { p_.svc.port.PortOut(PortControl, v); }
std::uint8_t Registers::InStatus() { return p_.svc.port.PortIn(PortStatus); }

void Registers::WriteRegister(int n, std::int16_t shadow) {
    auto idx = static_cast<std::size_t>(n);
    OutData(static_cast<std::uint8_t>(shadow));
    StrobeDelay();
    OutControl(static_cast<std::uint8_t>(StrobeIdle[idx]));
    StrobeDelay();
    OutControl(static_cast<std::uint8_t>(StrobePulse[idx]));
    OutControl(static_cast<std::uint8_t>(StrobeIdle[idx]));
}

void Registers::SetReg0() { WriteRegister(0, Reg0); }
void Registers::SetReg1() { WriteRegister(1, Reg1); }
void Registers::SetReg2() { WriteRegister(2, Reg2); }
void Registers::SetReg3() { WriteRegister(3, Reg3); }
void Registers::SetReg4() { WriteRegister(4, Reg4); }

void Registers::Reset() {
    auto& a = p_.addr;
    Reg0 = 0x40;  // OE inactive, programming voltage off, LED off
    SetReg0();
    a.Address = 0;
    a.Endereco2Adr();
    Reg1 = static_cast<std::int16_t>(a.Reg1Extra | a.AdrMid);
    SetReg1();
    Reg2 = static_cast<std::int16_t>(a.AdrLow);
    SetReg2();
    Reg3 = static_cast<std::int16_t>((a.Reg3Extra & 0xFF) | 0xC4);  // CE inactive, reg 4 released, bit 2 high
    SetReg3();
    p_.progress.ResetBar();
    EraseMode = 0;
}

void Registers::REG4ON() {
    Reg3 &= 0xBF;
    SetReg3();
}
void Registers::REG4OFF() {
    Reg3 |= 0x40;
    SetReg3();
}
void Registers::VPP24_ON() {
    Reg0 |= 0xC0;
    SetReg0();
}
void Registers::VPP24_OFF() {
    Reg0 &= 0x3F;
    SetReg0();
}
void Registers::LedOn() {
    Reg0 |= 0x08;
    SetReg0();
}
void Registers::LedOff() {
    Reg0 &= 0xF7;
    SetReg0();
}
void Registers::BlinkProgramLamp() {
    p_.lamps.ToggleProgramLamp();
    Reg0 ^= 0x08;
    SetReg0();
}

}  // namespace moltrix::board
