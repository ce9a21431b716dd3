#include "programming/refresh.h"

#include <algorithm>

#include "operations/device_walk.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {

// The chip read once over the walk the verify makes, into `bits`, without
// touching the code buffer.
void ReadChip(Programmer& p, ReadBits& bits) {
    std::size_t address = 0;
    operations::OpenDevice(p);
    operations::WalkDevice(p, [&] {
        if (address < bits.anyOne.size()) bits.Add(address++, p.addr.DataIn);
        return true;
    });
    p.progress.SetValue(0);
    p.regs.Reset();
}

// The bytes still to refresh read again, `reads` times each, each read a
// cycle of its own (OE off and on again). A byte leaves the plan once it has
// read right after kCleanPasses passes in a row: a weak bit reads right most
// of the time, also while its charge is still short, and a routine that reads
// a byte before pulsing it skips it then.
void ReadAgain(Programmer& p, const std::vector<std::uint8_t>& file, int reads, RefreshPlan& plan,
               std::vector<std::uint8_t>& cleanPasses) {
    auto& a = p.addr;
    operations::OpenDevice(p);
    plan.rewriteCount = 0;
    for (std::uint32_t address = 0; address < plan.rewrite.size(); ++address) {
        if (!plan.rewrite[address]) continue;
        std::uint8_t anyOne = 0;
        for (int i = 0; i < reads; ++i) {
            a.Address = static_cast<std::int32_t>(address);
            a.Endereco2Adr();
            a.SETADR();
            a.OEOFF();
            a.OEON();
            a.GetNibbles();
            anyOne |= a.DataIn;
        }
        auto& clean = cleanPasses[address];
        clean = (anyOne & ~file[address] & 0xFF) != 0 ? 0 : clean + 1;
        plan.rewrite[address] = clean < kCleanPasses;
        plan.rewriteCount += plan.rewrite[address];
    }
    p.regs.Reset();
}

void Refuse(Programmer& p, feedback::Outcome why, const std::string& line) {
    p.outcome.Note(why);
    p.log.AddLogLine("*** Refresh Refused: " + line);
    p.cues.PlayCue("ERROR");
}

}  // namespace

RefreshPlan PlanRefresh(const std::vector<std::uint8_t>& file, const ReadBits& reads) {
    RefreshPlan plan;
    plan.rewrite.assign(file.size(), false);
    for (std::size_t a = 0; a < file.size(); ++a) {
        const std::uint8_t anyOne = reads.anyOne[a], anyZero = reads.anyZero[a];
        const std::uint8_t want = file[a];
        if ((anyZero & want) != 0) {
            if (plan.firstNeedingErase.size() < kListedNeedingErase)
                plan.firstNeedingErase.push_back({static_cast<std::uint32_t>(a), want,
                                                  static_cast<std::uint8_t>(~anyZero)});
            ++plan.needEraseCount;
        } else if ((anyOne & ~want & 0xFF) != 0) {
            plan.rewrite[a] = true;
            ++plan.rewriteCount;
        }
    }
    return plan;
}

void RefreshDevice(Programmer& p, int reads) {
    const feedback::Outcomes::Command command(p.outcome);
    const auto& sel = p.selection;
    p.log.AddLogLine("Refresh Button Pressed");
    if (sel.DeviceFamily != "P") {
        Refuse(p, feedback::Outcome::Unsupported, "only a UV EPROM is refreshed in place");
        return;
    }
    if (!p.form.HiLow_button.Value(0)) {
        Refuse(p, feedback::Outcome::Unsupported, "a refresh takes the whole file - set Hi/Low Byte to Both");
        return;
    }
    if (p.buffers.CodeSize <= 0 || p.buffers.CodeSize > sel.DeviceSize) {
        Refuse(p, feedback::Outcome::Unsupported,
               "the file is " + std::to_string(p.buffers.CodeSize) + " bytes, the Device " +
                   std::to_string(sel.DeviceSize));
        return;
    }
    // The verify after the refresh compares whole pages: so does the plan.
    const auto pages = static_cast<std::size_t>(p.buffers.CodeSize + operations::kPageBytes - 1) /
                       operations::kPageBytes;
    const std::size_t count = std::min(pages * operations::kPageBytes, static_cast<std::size_t>(sel.DeviceSize));
    p.image.BuildProgramImage();
    const std::vector<std::uint8_t> file(p.image.ProgramImage.begin(),
                                         p.image.ProgramImage.begin() + static_cast<std::ptrdiff_t>(count));

    p.log.AddLogLine("Reading Device " + std::to_string(reads) + (reads == 1 ? " time" : " times") +
                     " to find the faded bits... Wait");
    p.lamps.DataFlowLampOn();
    ReadBits bits{std::vector<std::uint8_t>(count, 0), std::vector<std::uint8_t>(count, 0)};
    for (int i = 0; i < reads; ++i) ReadChip(p, bits);
    p.lamps.DataFlowLampOff();
    RefreshPlan plan = PlanRefresh(file, bits);
    if (plan.needEraseCount > 0) {
        Refuse(p, feedback::Outcome::NeedsErase,
               std::to_string(plan.needEraseCount) + " bytes need a bit from 0 to 1 - Erase the EPROM by UV first");
        for (const auto& d : plan.firstNeedingErase)
            p.log.AddLogLine("*** Address:" + feedback::HexText(d.address) + "h, File BYTE:" + feedback::HexText(d.file) +
                             "h, Read BYTE:" + feedback::HexText(d.chip) + "h");
        return;
    }
    if (plan.rewriteCount == 0) p.log.AddLogLine("No faded bits found - nothing to refresh");
    // A drifted bit reads 1 until its charge is whole again, so the routine
    // pulses it until then. A weak bit reads 0 at most read-backs while its
    // charge is still short, and the routine stops at the first that does:
    // so the pulses are the datasheet's width (a whole charge for nearly
    // every cell), unless the operator set a width, and the bytes written
    // go round again until they have read right after a few passes.
    std::vector<std::uint8_t> cleanPasses(plan.rewrite.size(), 0);
    const std::int32_t asked = p.pulse.Asked();
    if (asked == PulseWidth::kSlider) p.pulse.Set(PulseWidth::kDatasheet);
    for (int pass = 1; plan.rewriteCount > 0; ++pass) {
        if (pass > kRefreshPasses) {
            p.log.AddLogLine("*** " + std::to_string(plan.rewriteCount) + " bytes still read faded after " +
                             std::to_string(kRefreshPasses) + " passes");
            break;
        }
        p.log.AddLogLine("Refresh pass " + std::to_string(pass) + ": " + std::to_string(plan.rewriteCount) +
                         " bytes to refresh");
        p.program.ProgramOnly(plan.rewrite, pass == 1);
        if (p.outcome.Last() != feedback::Outcome::Ok) break;  // cancelled, or the routine failed and said so
        ReadAgain(p, file, reads, plan, cleanPasses);
    }
    p.pulse.Set(asked);
    if (p.outcome.Last() == feedback::Outcome::Ok) p.checks.Verify_button_Click();
}

}  // namespace moltrix::programming
