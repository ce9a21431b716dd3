#pragma once
// The software address counter, how it is loaded into registers 1-3 through the
// per-device line maps, the CE and OE lines, and the read-back of a data byte
// four bits at a time through the status lines.
#include <array>
#include <cstdint>

namespace moltrix {
class Programmer;
}

namespace moltrix::board {

class AddressBus {
public:
    explicit AddressBus(Programmer& p);

    std::int32_t Address = 0;
    std::int32_t AdrLow = 0, AdrMid = 0, AdrHigh = 0;
    // Extra lines the selected device's socket wiring holds high on every load.
    std::int16_t Reg1Extra = 0, Reg3Extra = 0;
    // Register-1 pattern per middle byte, register-3 low-nibble pattern per high byte.
    std::array<std::int16_t, 256> AdrMapMid{}, AdrMapHigh{};
    std::uint8_t DataIn = 0;

    void SetIdentityMaps();
    void Endereco2Adr();
    void IncADR();
    void SETADR();
    void SETADR_FLASH() { SETADR(); }
    void SETADR_XICOR();

    void CEON();
    void CEOFF();
    void OEON();
    void OEOFF();
    void CEOEON();
    void CEOEOFF();
    // A serial EEPROM's lines at rest: CE and OE active (its clock and power
    // lines), registers 1 and 2 at 0.
    void SerialLinesAtRest();

    void GetNibbles();
    // One read with CE and OE active, both released after: a status poll.
    void ReadCycle();
    void GetNibbles24CXX();

private:
    Programmer& p_;
};

}  // namespace moltrix::board
