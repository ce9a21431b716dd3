#include "programming/page_write.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "programming/chip_timing.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr int kPages = 512;
constexpr int kPageSize = 64;
constexpr std::int16_t kAt29c256Budget = 20;  // 19 tries
constexpr std::int16_t kXicorBudget = 80;     // 79 tries
constexpr std::int32_t kAt29c256Polls = 20000;
constexpr int kPowerUpMs = 500;
constexpr int kUnprotectAt29c256Ms = 20, kAfterUnprotectAt29c256Ms = 50, kAfterUnprotectXicorMs = 40;
constexpr std::int32_t kXicorBytes = 32768;

// The software data protection disable sequence, (data, address).
constexpr std::pair<std::int16_t, std::uint16_t> kUnprotect[] = {
    {0xAA, 0x5555}, {0x55, 0x2AAA}, {0x80, 0x5555}, {0xAA, 0x5555}, {0x55, 0x2AAA}, {0x20, 0x5555},
};
}  // namespace

PageWriteRoutines::PageWriteRoutines(Programmer& p) : p_(p) {
    p_.program.Register({"FA"}, [this] { ProgramAT29C256(); });
    p_.program.Register({"EN"}, [this] { ProgramXicor(); });
}

void PageWriteRoutines::Delay300() const { p_.svc.clock.Spin(std::min<std::int32_t>(300, p_.regs.WaitCap)); }

int PageWriteRoutines::SliderPauseMs() const { return p_.form.Slider1.max - p_.form.Slider1.value; }

bool PageWriteRoutines::StartTry(std::int16_t& budget) {
    if (--budget == 0) {
        p_.program.ReportProgramFailure();
        p_.regs.Reg0 = 0;
        p_.regs.SetReg0();
        return false;
    }
    p_.svc.clock.Sleep(SliderPauseMs() + 1);
    p_.regs.REG4ON();
    return true;
}

void PageWriteRoutines::StartPages(const char* logLine, bool xicor) {
    auto& r = p_.regs;
    auto& a = p_.addr;
    const auto setAddress = [&] { xicor ? a.SETADR_XICOR() : a.SETADR_FLASH(); };
    a.Address = 0;
    a.Endereco2Adr();
    setAddress();
    p_.svc.clock.Sleep(kPowerUpMs);
    r.REG4ON();
    a.OEOFF();
    a.CEOFF();
    p_.log.AddLogLine(logLine);
    r.Reset();
    setAddress();
    if (xicor) {
        UnprotectXicor();
        p_.svc.clock.Sleep(kAfterUnprotectXicorMs);
    } else {
        UnprotectAT29C256();
        p_.svc.clock.Sleep(kAfterUnprotectAt29c256Ms);
    }
    a.OEOFF();
    a.CEOFF();
    p_.progress.SetMaximum(64);
    p_.progress.Start(8);
}

void PageWriteRoutines::SelectRow(std::int16_t reg1) {
    if (reg1 == p_.regs.Reg1) return;
    p_.regs.Reg1 = reg1;
    p_.regs.SetReg1();
}

void PageWriteRoutines::SelectByte(std::int32_t address) {
    auto& a = p_.addr;
    a.Address = address;
    a.Endereco2Adr();
    p_.regs.Reg2 = static_cast<std::int16_t>(a.AdrLow);
    p_.regs.SetReg2();
}

void PageWriteRoutines::UnprotectAT29C256() {
    auto& r = p_.regs;
    p_.addr.OEOFF();
    r.Reg3 = 0x82;
    r.SetReg3();
    const ByteLoadWindow load(r);
    for (const auto& [data, address] : kUnprotect) {
        r.Reg4 = data;
        p_.flashBus.CmdAddress = address;
        p_.flashBus.WriteCycleAT29C256();
    }
    p_.svc.clock.Sleep(kUnprotectAt29c256Ms);
}

void PageWriteRoutines::PollAT29C256() {
    auto& a = p_.addr;
    auto& polls = p_.flashBus.PollCount;
    p_.regs.REG4OFF();
    polls = kAt29c256Polls;
    // Until the load period is over the chip reads its old contents: a last
    // byte that already held the data would match before the cycle starts.
    const Deadline cycleStarted(p_.svc.clock, kAt29c256LoadEndMicros);
    do {
        --polls;
        a.ReadCycle();
    } while ((a.DataIn != p_.program.DataOut || !cycleStarted.Passed()) && polls != 0);
    p_.regs.REG4ON();
}

void PageWriteRoutines::LoadByte(std::int16_t writeEnable) {
    auto& r = p_.regs;
    r.Reg4 = p_.program.DataOut;
    r.SetReg4();
    r.Reg3 &= 0x7F;  // CE active
    r.SetReg3();
    r.Reg1 &= static_cast<std::int16_t>(~writeEnable);  // write-enable low
    r.SetReg1();
    r.Reg1 |= writeEnable;
    r.SetReg1();
    r.Reg3 |= 0x80;
    r.SetReg3();
}

bool PageWriteRoutines::WritePages(std::int16_t budget, const std::function<Try(int page)>& tryPage) {
    for (int page = 0; page < kPages; ++page) {
        std::int16_t left = budget;
        Try result = Try::Retry;
        while (result == Try::Retry) {
            if (!StartTry(left)) return false;
            result = tryPage(page);
            if (result == Try::Abort) return false;
        }
        if ((page & 7) == 0) p_.regs.BlinkProgramLamp();
        p_.progress.GoProgressiveBar1();
    }
    return true;
}

void PageWriteRoutines::ProgramAT29C256() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    StartPages("Programming Atmel AT29C256", false);
    const bool done = WritePages(kAt29c256Budget, [&](int page) {
        a.Address = page * kPageSize;
        a.Endereco2Adr();
        SelectRow(static_cast<std::int16_t>(a.Reg1Extra | a.AdrMid));
        {
            const ByteLoadWindow load(r);
            for (int i = 0; i < kPageSize; ++i) {
                SelectByte(page * kPageSize + i);
                cmd.DataOut = p_.image.At(a.Address);
                LoadByte(0x80);  // register-1 bit 7 is this part's write-enable line
            }
        }
        PollAT29C256();
        if (p_.flashBus.PollCount == 0) {
            p_.log.AddLogLine("Error: At29C256 TimeOut Programming Polling");
            cmd.ReportProgramFailure();
            r.Reset();
            return Try::Abort;
        }
        r.REG4OFF();
        a.CEOEON();
        for (int i = 0; i < kPageSize; ++i) {
            SelectByte(page * kPageSize + i);
            a.GetNibbles();
            cmd.DataOut = p_.image.At(a.Address);
            if (a.DataIn != cmd.DataOut) {
                // The chip takes no write while OE is active: the next try's
                // loads need it released.
                a.OEOFF();
                return Try::Retry;
            }
        }
        a.CEOFF();
        a.OEOFF();
        return Try::Verified;
    });
    if (!done) return;
    p_.log.AddLogLine("FLASH Atmel AT29C256 Programmed Sucessfully");
    r.Reset();
}

void PageWriteRoutines::WriteCycleXicor() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    const std::uint16_t address = p_.flashBus.CmdAddress;
    const int hi = address / 256;
    r.Reg2 = static_cast<std::int16_t>(address - hi * 256);
    r.Reg1 = static_cast<std::int16_t>((hi != 0 ? hi + 64 : hi) | 0x40);
    r.SetReg1();
    Delay300();
    r.SetReg2();
    Delay300();
    r.SetReg4();
    a.CEON();
    r.Reg1 &= 0xBF;  // write-enable low
    r.SetReg1();
    Delay300();
    r.Reg1 |= 0x40;
    r.SetReg1();
    Delay300();
    a.CEOFF();
}

void PageWriteRoutines::UnprotectXicor() {
    auto& r = p_.regs;
    p_.addr.OEOFF();
    r.Reg3 = 0x82;
    r.SetReg3();
    const ByteLoadWindow load(r);
    for (const auto& [data, address] : kUnprotect) {
        r.Reg4 = data;
        p_.flashBus.CmdAddress = address;
        WriteCycleXicor();
    }
    p_.svc.clock.Sleep(SliderPauseMs() + 5);
}

void PageWriteRoutines::WaitXicorWriteCycle() {
    auto& a = p_.addr;
    const std::uint8_t last = p_.program.DataOut;
    const Deadline done(p_.svc.clock, kPageWriteCycleMaxMicros);
    do {
        a.CEOEON();
        a.GetNibbles();
        a.OEOFF();
    } while (((a.DataIn ^ last) & 0x80) != 0 && !done.Passed());
}

void PageWriteRoutines::ProgramXicor() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    StartPages("Programming 28C256 XICOR Device", true);
    const bool done = WritePages(kXicorBudget, [&](int page) {
        a.Address = page * kPageSize;
        a.Endereco2Adr();
        // Address bit 14 on register-1 bit 7; bit 6 is the write-enable line.
        const std::int32_t m = a.AdrMid != 0 ? a.AdrMid + 64 : a.AdrMid;
        SelectRow(static_cast<std::int16_t>(m | a.Reg1Extra));
        {
            const ByteLoadWindow load(r);
            for (int i = 0; i < kPageSize; ++i) {
                SelectByte(page * kPageSize + i);
                cmd.DataOut = p_.image.At(a.Address);
                r.REG4ON();
                LoadByte(0x40);
            }
        }
        p_.svc.clock.Sleep(SliderPauseMs() + 3);
        r.REG4OFF();
        // The write cycle may run past the sleep (5 ms typical, 10 ms at
        // most); a load during it would be lost.
        WaitXicorWriteCycle();
        for (int i = 0; i < kPageSize; ++i) {
            SelectByte(page * kPageSize + i);
            a.CEOEON();
            a.GetNibbles();
            a.OEOFF();
            if (a.DataIn != p_.image.At(a.Address)) {
                cmd.DataOut = p_.image.At(a.Address);
                return Try::Retry;
            }
        }
        return Try::Verified;
    });
    if (!done) return;
    p_.log.AddLogLine("XICOR 28C256 Programmed Sucessfully");
    r.Reset();
}

void PageWriteRoutines::EraseXicor() {
    auto& image = p_.image.ProgramImage;
    std::fill(image.begin(), image.begin() + kXicorBytes, 0xFF);
    p_.log.AddLogLine("Erasing Program Buffer");
    p_.log.AddLogLine("Erasing XICOR 28C256");
    ProgramXicor();
    p_.image.BuildProgramImage();
}

}  // namespace moltrix::programming
