#include "programming/flash_program.h"

#include "programming/chip_timing.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr std::int16_t kByteBudget = 50;  // 49 tries
constexpr std::int32_t kBankBytes = 65536;
constexpr std::int32_t kPageBytes = 256;
constexpr int kAtmelByteMs = 1;  // Atmel parts: a wait instead of the read-back
constexpr std::int16_t kReadModeCommand = 0xF0;
}  // namespace

FlashRoutines::FlashRoutines(Programmer& p) : p_(p) {
    p_.program.Register({"FM", "FL", "FR", "FS"}, [this] { ProgramFlash(); });
}

void FlashRoutines::PollFlashByte() {
    auto& a = p_.addr;
    const std::uint8_t want = p_.program.DataOut;
    p_.regs.REG4OFF();
    p_.flashBus.PollCount = 1;
    a.ReadCycle();
    if (a.DataIn != want) {
        // Still programming: DQ7 reads the complement of the data's bit 7
        // until the byte is done. The other bits are valid from the read after.
        const Deadline done(p_.svc.clock, kFlashByteProgramMaxMicros);
        while (((a.DataIn ^ want) & 0x80) != 0 && !done.Passed()) a.ReadCycle();
        a.ReadCycle();
    }
    if (a.DataIn == want) p_.flashBus.PollCount = 0;
    p_.regs.REG4ON();
}

void FlashRoutines::ReadModeAfterFailedByte() {
    auto& cmd = p_.flashBus;
    cmd.FlashCmd = kReadModeCommand;
    cmd.FlashCommand();
    p_.addr.SETADR_FLASH();  // the command left its own address on the board
    p_.regs.REG4OFF();
    p_.addr.ReadCycle();
}

void FlashRoutines::ProgramFlash() {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& cmd = p_.program;
    auto& id = p_.flashId;
    id.ReadFlashId();
    if (!id.MakerAccepted()) {
        p_.log.AddLogLine("Device ID# " + id.FlashId + " - Not Supported");
        p_.outcome.Note(feedback::Outcome::Unsupported);
        cmd.ProgramStatus = 0;
        return;
    }
    p_.log.AddLogLine("Device ID# " + id.FlashId + " - Start programming");
    p_.progress.SetMaximum(p_.buffers.CodeSize / kPageBytes);
    r.REG4ON();
    a.OEOFF();
    a.CEOFF();

    const std::int32_t last = p_.buffers.CodeSize - 1;
    const std::int32_t lastBank = last / kBankBytes;
    const std::int32_t lastPage = (last - lastBank * kBankBytes) / kPageBytes;
    const bool readBack = id.FlashMaker != 0x1F;
    a.Address = 0;
    for (std::int32_t bank = 0; bank <= lastBank; ++bank) {
        r.Reg3 = static_cast<std::int16_t>(a.AdrMapHigh[static_cast<std::size_t>(bank & 0xFF)] | a.Reg3Extra | 0x80);
        for (std::int32_t page = 0; page <= (bank == lastBank ? lastPage : 255); ++page) {
            p_.progress.SetValue(p_.form.ProgressBar1.value + 1);
            for (int low = 0; low < kPageBytes; ++low) {
                std::int16_t budget = kByteBudget;
                do {
                    if (--budget == 0) {
                        ReadModeAfterFailedByte();
                        cmd.ReportProgramFailure();
                        return;
                    }
                    p_.flashBus.ProgramFlashByte();
                    if (readBack) {
                        PollFlashByte();
                    } else {
                        p_.svc.clock.Sleep(kAtmelByteMs);
                        p_.flashBus.PollCount = 0;
                    }
                } while (p_.flashBus.PollCount != 0);
                ++a.Address;
            }
        }
    }
}

}  // namespace moltrix::programming
