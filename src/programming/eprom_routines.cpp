#include "programming/eprom_routines.h"

#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::int16_t kFreshBudget = 255;
constexpr std::int16_t kLongPulsesBelow = 200;  // budget after its decrease
constexpr int kP2732PulseMs = 5;
constexpr int kHighVoltageSettleMs = 1500;
}  // namespace

EpromRoutines::EpromRoutines(Programmer& p) : p_(p) {
    auto& c = p_.program;
    c.Register({"P1"}, [this] { P2732(); });
    c.Register({"P2", "P3"}, [this] { P2764_128(); });
    c.Register({"P4", "P8"}, [this] { P27256_040(); });
    c.Register({"P5", "P9"}, [this] { P27080(); });
    c.Register({"P6", "P7"}, [this] { P27010_020(); });
}

std::int16_t EpromRoutines::Register0(std::int16_t routing, bool levels) const {
    const auto& r = p_.regs;
    const auto& sel = p_.selection;
    std::int16_t v = r.Reg0;
    if (r.BoardModel == 4) v = 0x4C;
    if (r.BoardModel == 5 || r.BoardModel == 6) {
        v = 0x48;
        if (levels && sel.VppClass == 3 && sel.VppVolts == 21) v |= 0x02;
        if (levels && sel.VppClass == 3 && sel.VppVolts == 25) v |= 0x03;
    }
    return static_cast<std::int16_t>(v | routing);
}

void EpromRoutines::SetUp(std::int16_t routing, bool levels) {
    p_.regs.REG4ON();
    p_.addr.CEOEOFF();
    p_.regs.Reg0 = Register0(routing, levels);
    p_.regs.SetReg0();
}

void EpromRoutines::OfferDataOut() {
    auto& r = p_.regs;
    r.REG4ON();
    r.Reg4 = p_.program.DataOut;
    r.SetReg4();
}

void EpromRoutines::ReadBackWithOe() {
    p_.regs.Delay20();
    p_.addr.OEON();
    p_.program.ReadBackByte();
    p_.addr.OEOFF();
}

void EpromRoutines::PulseWait(bool longPulse) { p_.pulse.Wait(longPulse); }

void EpromRoutines::SettleHighVoltage() {
    if (p_.selection.VppVolts <= 12) return;
    p_.log.AddLogLine("Wait 1500ms second VPP Settling");
    p_.svc.clock.Sleep(kHighVoltageSettleMs);
}

void EpromRoutines::ProgramBytes(const Steps& s) {
    auto& cmd = p_.program;
    auto& a = p_.addr;
    const auto& image = p_.image;
    for (std::int32_t i = 0; i < image.ImageSize; ++i) {
        std::int16_t budget = kFreshBudget;
        cmd.DataOut = image.ProgramImage[static_cast<std::size_t>(i)];
        if (s.preRead) {
            s.preRead();
            if (a.DataIn == cmd.DataOut) cmd.DataOut = 0xFF;
        }
        if (cmd.DataOut != 0xFF) {
            if (s.enterByte) s.enterByte();
            do {
                if (--budget == 0) {
                    cmd.ReportProgramFailure();
                    return;
                }
                s.pulse(budget < kLongPulsesBelow);
            } while (a.DataIn != cmd.DataOut);
        }
        a.IncADR();
        if ((i & (s.blinkPeriod - 1)) == 0) p_.regs.BlinkProgramLamp();
        p_.progress.GoProgressiveBar1();
    }
}

void EpromRoutines::P2732() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    SetUp(0, true);
    SettleHighVoltage();
    p_.log.AddLogLine("Programming Started... Wait ");
    a.OEON();
    ProgramBytes({64,
                  [&] {
                      a.SETADR();
                      r.VPP24_OFF();
                      a.OEON();
                      a.CEON();
                      cmd.ReadBackByte();
                      a.CEOFF();
                  },
                  [&] { a.SETADR(); },
                  [&](bool) {
                      r.Reg4 = cmd.DataOut;
                      r.SetReg4();
                      r.REG4ON();
                      a.CEOFF();
                      r.VPP24_ON();  // the programming voltage onto the OE pin
                      a.CEON();
                      p_.svc.clock.Sleep(kP2732PulseMs);
                      a.CEOFF();
                      r.VPP24_OFF();
                      a.CEON();
                      r.Delay20();
                      cmd.ReadBackByte();
                  }});
}

void EpromRoutines::P2764_128() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    SetUp(0x10, true);
    SettleHighVoltage();
    p_.log.AddLogLine("Programming Started... Wait ");
    ProgramBytes({512, nullptr,
                  [&] {
                      a.SETADR();
                      a.CEON();  // CE stays active through the byte's pulses
                  },
                  [&](bool longPulse) {
                      OfferDataOut();
                      r.Reg1 &= 0xBF;  // program-enable low: the pulse starts
                      r.SetReg1();
                      PulseWait(longPulse);
                      r.Reg1 |= 0x40;
                      r.SetReg1();
                      ReadBackWithOe();
                  }});
    if (cmd.ProgramFailed == 0) a.CEOFF();
}

void EpromRoutines::P27256_040() {
    auto& a = p_.addr;
    const auto& variant = p_.selection.DeviceVariant;
    SetUp(variant == "4" ? 0x10 : variant == "8" ? 0x20 : 0, false);
    p_.log.AddLogLine("Programming Started... Wait ");
    ProgramBytes({512, nullptr, [&] { a.SETADR(); },
                  [&](bool longPulse) {
                      OfferDataOut();
                      a.CEOEOFF();
                      a.CEON();  // the pulse starts
                      PulseWait(longPulse);
                      a.CEOFF();
                      ReadBackWithOe();
                  }});
}

void EpromRoutines::P27080() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    SetUp(0, false);
    p_.log.AddLogLine("Programming Started... Wait ");
    a.OEON();
    ProgramBytes({1024,
                  [&] {
                      a.SETADR();
                      a.CEON();
                      cmd.ReadBackByte();
                      a.CEOFF();
                  },
                  nullptr,  // the address is still loaded from the pre-read
                  [&](bool longPulse) {
                      OfferDataOut();
                      r.VPP24_ON();
                      a.CEON();  // the pulse starts
                      PulseWait(longPulse);
                      a.CEOFF();
                      r.VPP24_OFF();
                      a.CEON();
                      r.Delay20();
                      cmd.ReadBackByte();
                  }});
}

void EpromRoutines::P27010_020() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    r.REG4ON();
    a.CEON();
    a.OEOFF();
    r.Reg0 = Register0(0x20, false);
    r.SetReg0();
    p_.log.AddLogLine("Programming Started... Wait ");
    ProgramBytes({512, nullptr, [&] { a.SETADR(); },
                  [&](bool longPulse) {
                      OfferDataOut();
                      r.Reg3 &= 0xFB;  // program-enable low: the pulse starts
                      r.SetReg3();
                      PulseWait(longPulse);
                      r.Reg3 |= 0x04;
                      r.SetReg3();
                      ReadBackWithOe();
                  }});
}

}  // namespace moltrix::programming
