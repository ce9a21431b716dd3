#pragma once
// The walk over the device that the read, the blank check and the verify
// share: CodeSize rounded up to whole 256-byte pages, register 3 loaded once
// per 64 KiB, register 1 once per page, register 2 once per byte, each byte
// read back into DataIn. The loop variables are the address parts themselves
// (AdrHigh, AdrMid, and Reg2 as the low byte).
#include <cstdint>

#include "shell/programmer.h"

namespace moltrix::operations {

inline constexpr std::int32_t kHighWeight = 65536;
inline constexpr std::int32_t kPageBytes = 256;
// What the lines are given to settle after the first address load.
inline constexpr int kSettleMs = 500;

// The board made ready for a walk from address 0: at rest, the address
// loaded and settled, register 4 off the data lines, CE and OE active, and
// the progress bar at 0 of one step per page.
inline void OpenDevice(Programmer& p) {
    auto& a = p.addr;
    p.regs.Reset();
    a.Address = 0;
    a.Endereco2Adr();
    a.SETADR();
    p.svc.clock.Sleep(kSettleMs);
    p.regs.REG4OFF();
    a.CEOEON();
    p.form.ProgressBar1.max = p.buffers.CodeSize / kPageBytes;
    p.progress.SetValue(0);
}

// Calls `visit()` after each byte's read-back; a false answer ends the walk.
// Returns whether the walk ran to its end. The progress bar advances by one
// per page.
template <class Visit>
bool WalkDevice(Programmer& p, Visit&& visit) {
    auto& r = p.regs;
    auto& a = p.addr;
    const std::int32_t last = p.buffers.CodeSize - 1;
    const auto lastHigh = static_cast<std::int16_t>(last / kHighWeight);
    const auto lastMid = static_cast<std::int16_t>((last - lastHigh * kHighWeight) / kPageBytes);
    for (a.AdrHigh = 0; a.AdrHigh <= lastHigh; ++a.AdrHigh) {
        r.Reg3 = static_cast<std::int16_t>(a.AdrMapHigh[static_cast<std::size_t>(a.AdrHigh & 0xFF)] |
                                           (r.Reg3 & 0xF0) | a.Reg3Extra);
        r.SetReg3();
        const std::int32_t midEnd = a.AdrHigh == lastHigh ? lastMid : 255;
        for (a.AdrMid = 0; a.AdrMid <= midEnd; ++a.AdrMid) {
            r.Reg1 = static_cast<std::int16_t>(a.AdrMapMid[static_cast<std::size_t>(a.AdrMid & 0xFF)] | a.Reg1Extra);
            r.SetReg1();
            p.progress.SetValue(p.form.ProgressBar1.value + 1);
            for (r.Reg2 = 0; r.Reg2 <= 255; ++r.Reg2) {
                r.SetReg2();
                a.GetNibbles();
                if (!visit()) return false;
            }
            r.Reg2 = 255;
        }
    }
    return true;
}

// The 16-bit running sum of the read, kept in 0 to 65535.
inline void AddToSum(std::int32_t& sum, std::uint8_t byte) {
    sum += byte;
    if (sum > 65535) sum -= 65536;
}

}  // namespace moltrix::operations
