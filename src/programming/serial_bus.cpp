#include "programming/serial_bus.h"

#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::int16_t kAckSamples = 200;
constexpr int kAckSampleMs = 1;
}  // namespace

SerialBus::SerialBus(Programmer& p) : p_(p) {}

// With the clock low the data line goes to `before`, the clock rises, the data
// line moves to `after` while the clock is high, and the clock falls again.
void SerialBus::DataEdgeWithClockHigh(std::int16_t before, std::int16_t after) {
    auto& r = p_.regs;
    auto& a = p_.addr;
    a.CEON();
    r.Reg4 = before;
    r.SetReg4();
    r.REG4ON();
    a.CEOFF();
    r.Reg4 = after;
    r.SetReg4();
    a.CEON();
}

void SerialBus::SerialStart() { DataEdgeWithClockHigh(0x80, 0x00); }

void SerialBus::SerialStop() { DataEdgeWithClockHigh(0x00, 0x80); }

void SerialBus::ClockOutDataOut() {
    auto& r = p_.regs;
    r.REG4ON();
    r.Reg4 = p_.program.DataOut;
    for (int bit = 0; bit < 8; ++bit) {
        r.SetReg4();
        p_.addr.CEOFF();
        p_.addr.CEON();
        r.Reg4 = static_cast<std::int16_t>((r.Reg4 * 2) & 0xFF);
    }
}

void SerialBus::SerialSendByte() {
    ClockOutDataOut();
    SerialWaitAck();
}

void SerialBus::SerialWaitAck() {
    auto& a = p_.addr;
    p_.regs.REG4OFF();
    for (std::int16_t n = 1; n <= kAckSamples; ++n) {
        AckError = n;
        a.GetNibbles24CXX();
        if ((a.DataIn & 0x80) == 0) {
            AckError = 0;
            break;
        }
        p_.svc.clock.Sleep(kAckSampleMs);
    }
    a.CEOFF();
    a.CEON();
}

void SerialBus::SerialSendNoWait() {
    auto& a = p_.addr;
    ClockOutDataOut();
    p_.regs.REG4OFF();
    p_.svc.clock.Sleep(kAckSampleMs);
    a.GetNibbles24CXX();
    a.DataIn &= 0x80;
}

void SerialBus::SerialReadByte() {
    auto& a = p_.addr;
    unsigned v = 0;
    p_.regs.REG4OFF();
    for (int bit = 0; bit < 8; ++bit) {
        a.CEON();
        a.CEOFF();
        a.GetNibbles24CXX();
        v = v * 2 + ((a.DataIn & 0x80) != 0 ? 1 : 0);
    }
    a.CEON();
    a.DataIn = static_cast<std::uint8_t>(v);
}

void SerialBus::SerialBusClear() {
    p_.regs.REG4OFF();
    for (int pulse = 0; pulse < 9; ++pulse) {
        p_.addr.CEOFF();
        p_.addr.CEON();
    }
}

bool SerialBus::Send(std::uint8_t v) {
    p_.program.DataOut = v;
    SerialSendByte();
    return AckError == 0;
}

}  // namespace moltrix::programming
