#include "programming/refresh.h"

#include <algorithm>

#include "operations/device_walk.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {

// The chip read once over the walk the verify makes, without touching the
// code buffer.
std::vector<std::uint8_t> ReadChip(Programmer& p, std::size_t count) {
    std::vector<std::uint8_t> chip;
    chip.reserve(count);
    operations::OpenDevice(p);
    operations::WalkDevice(p, [&] {
        if (chip.size() < count) chip.push_back(p.addr.DataIn);
        return true;
    });
    p.progress.SetValue(0);
    p.regs.Reset();
    return chip;
}

void Refuse(Programmer& p, feedback::Outcome why, const std::string& line) {
    p.outcome.Note(why);
    p.log.AddLogLine("*** Refresh Refused: " + line);
    p.cues.PlayCue("ERROR");
}

}  // namespace

RefreshPlan PlanRefresh(const std::vector<std::uint8_t>& file, const std::vector<std::vector<std::uint8_t>>& reads) {
    RefreshPlan plan;
    plan.compared = file.size();
    plan.rewrite.assign(file.size(), false);
    for (std::size_t a = 0; a < file.size(); ++a) {
        std::uint8_t anyOne = 0, anyZero = 0;
        for (const auto& read : reads) {
            const std::uint8_t chip = a < read.size() ? read[a] : 0xFF;
            anyOne |= chip;
            anyZero |= static_cast<std::uint8_t>(~chip);
        }
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
    std::vector<std::vector<std::uint8_t>> chip;
    for (int i = 0; i < reads; ++i) chip.push_back(ReadChip(p, count));
    p.lamps.DataFlowLampOff();
    const RefreshPlan plan = PlanRefresh(file, chip);

    if (plan.needEraseCount > 0) {
        Refuse(p, feedback::Outcome::NeedsErase,
               std::to_string(plan.needEraseCount) + " bytes need a bit from 0 to 1 - Erase the EPROM by UV first");
        for (const auto& d : plan.firstNeedingErase)
            p.log.AddLogLine("*** Address:" + feedback::HexText(d.address) + "h, File BYTE:" + feedback::HexText(d.file) +
                             "h, Read BYTE:" + feedback::HexText(d.chip) + "h");
        return;
    }
    if (plan.rewriteCount == 0) {
        p.log.AddLogLine("No faded bits found - nothing to refresh");
        p.checks.Verify_button_Click();
        return;
    }
    p.log.AddLogLine(std::to_string(plan.rewriteCount) + " bytes to refresh");
    p.program.ProgramOnly(plan.rewrite);
}

}  // namespace moltrix::programming
