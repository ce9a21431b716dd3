#include "board/address_bus.h"

#include "shell/programmer.h"

namespace moltrix::board {
namespace {
constexpr std::int32_t kMidWeight = 256;
constexpr std::int32_t kHighWeight = 65536;
}  // namespace

AddressBus::AddressBus(Programmer& p) : p_(p) {}

void AddressBus::SetIdentityMaps() {
    for (int i = 0; i < 256; ++i) {
        AdrMapMid[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
        AdrMapHigh[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    }
}

void AddressBus::Endereco2Adr() {
    AdrHigh = Address / kHighWeight;
    AdrMid = (Address % kHighWeight) / kMidWeight;
    AdrLow = Address % kMidWeight;
}

void AddressBus::IncADR() {
    ++Address;
    ++AdrLow;
    if (AdrLow > 255) {
        AdrLow = 0;
        ++AdrMid;
        if (AdrMid > 255) {
            AdrMid = 0;
            ++AdrHigh;
        }
    }
}

void AddressBus::SETADR() {
    auto& r = p_.regs;
    r.Reg1 = static_cast<std::int16_t>(AdrMapMid[static_cast<std::size_t>(AdrMid & 0xFF)] | Reg1Extra);
    r.SetReg1();
    r.Reg2 = static_cast<std::int16_t>(AdrLow);
    r.SetReg2();
    r.Reg3 = static_cast<std::int16_t>(AdrMapHigh[static_cast<std::size_t>(AdrHigh & 0xFF)] | (r.Reg3 & 0xF0) |
                                       Reg3Extra);
    r.SetReg3();
}

void AddressBus::SETADR_XICOR() {
    auto& r = p_.regs;
    std::int32_t m = AdrMid != 0 ? AdrMid + 64 : AdrMid;
    auto v = static_cast<std::int16_t>(m | Reg1Extra);
    if (v != r.Reg1) {
        r.Reg1 = v;
        r.SetReg1();
    }
    if (r.Reg2 != AdrLow) {
        r.Reg2 = static_cast<std::int16_t>(AdrLow);
        r.SetReg2();
    }
    v = static_cast<std::int16_t>((r.Reg3 & 0xF0) | Reg3Extra | AdrHigh);
    if (v != r.Reg3) {
        r.Reg3 = v;
        r.SetReg3();
    }
}

void AddressBus::CEON() {
    p_.regs.Reg3 &= 0x7F;
    p_.regs.SetReg3();
}
void AddressBus::CEOFF() {
    p_.regs.Reg3 |= 0x80;
    p_.regs.SetReg3();
}
void AddressBus::OEON() {
    p_.regs.Reg0 &= 0x3F;
    p_.regs.SetReg0();
}
void AddressBus::OEOFF() {
    p_.regs.Reg0 |= 0x40;
    p_.regs.SetReg0();
}
void AddressBus::CEOEON() {
    p_.regs.Reg3 &= 0x7F;
    p_.regs.Reg0 &= 0x3F;
    p_.regs.SetReg3();
    p_.regs.SetReg0();
}
void AddressBus::CEOEOFF() {
    p_.regs.Reg3 |= 0x80;
    p_.regs.Reg0 |= 0x40;
    p_.regs.SetReg3();
    p_.regs.SetReg0();
}

void AddressBus::SerialLinesAtRest() {
    auto& r = p_.regs;
    CEON();
    OEON();
    r.Reg1 = 0;
    r.Reg2 = 0;
    r.SetReg1();
    r.SetReg2();
}

void AddressBus::GetNibbles() {
    auto& r = p_.regs;
    const auto& t = p_.tables;
    if (r.BoardModel == 4) {
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelLow));
        std::uint8_t s1 = r.InStatus();
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelHigh));
        std::uint8_t s2 = r.InStatus();
        DataIn = t.NibbleTable4[static_cast<std::size_t>((s2 & 0xF0) | (s1 >> 4))];
    } else if (r.BoardModel == 5 || r.BoardModel == 6) {
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelLow));
        std::uint8_t low = t.NibbleTableLo[r.InStatus()];
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelHigh));
        std::uint8_t s2 = r.InStatus();
        DataIn = static_cast<std::uint8_t>(t.NibbleTableHi[s2] | low);
    }
}

void AddressBus::ReadCycle() {
    CEON();
    OEON();
    GetNibbles();
    OEOFF();
    CEOFF();
}

void AddressBus::GetNibbles24CXX() {
    auto& r = p_.regs;
    const auto& t = p_.tables;
    if (r.BoardModel == 4) {
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelHigh));
        std::uint8_t s = r.InStatus();
        DataIn = t.NibbleTable4[static_cast<std::size_t>(s & 0xF0)];
    } else if (r.BoardModel == 5 || r.BoardModel == 6) {
        r.OutControl(static_cast<std::uint8_t>(r.NibbleSelHigh));
        DataIn = t.NibbleTableHi[r.InStatus()];
    }
}

}  // namespace moltrix::board
