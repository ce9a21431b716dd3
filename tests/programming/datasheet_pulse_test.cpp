// Datasheet pulse widths on request: the EPROM routines time their pulse in
// microseconds, whatever the slider says, and a typical chip then programs
// nearly every byte with one pulse, near the board's own floor.
#include "operations/op_bench.h"
#include "sim/eprom.h"

namespace moltrix::testing {
namespace {

// The first pulse a cell gets: the datasheet width, plus the port accesses of
// the register write that ends it; the slider's strobe waits are inside it.
TEST(DatasheetPulse, EachGroupGetsItsDatasheetWidth) {
    const struct {
        const char* part;
        int volts;
        sim::Nanos width;
    } cases[] = {{"27C256", 1, 100'000}, {"27C080", 1, 50'000}, {"2764", 2, 1'000'000}, {"27C010", 1, 100'000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        OpBench bench(6, c.part);
        auto& p = bench.p();
        p.form.Voltage_button.Click(c.volts);
        p.form.Slider1.SetValue(12);  // 162,002-pass pulses on the NMOS part, were they the slider's
        p.form.mnuToolsDatasheetPulse.Click();
        static_cast<sim::Eprom*>(bench.board.chip())->SetNeed(0x10, 1);
        p.buffers.CodeBuffer[0x10] = 0x00;
        p.program.Program_button_Click();
        ASSERT_EQ(bench.Chip()[0x10], 0x00);
        const auto& pulses = bench.board.counters().pulses;
        EXPECT_EQ(pulses.count[0x10], 1u);
        EXPECT_GE(pulses.width[0x10], c.width);
        EXPECT_LE(pulses.width[0x10], c.width + 8'000);
    }
}

// A random image: the 27C256 in at most 7 s, the 27C080 in at most 180 s of
// simulated time, nearly every byte with one pulse; a chip at its datasheet
// maximum still programs.
TEST(DatasheetPulse, TypicalChipsProgramNearTheBoardsFloor) {
    struct Case {
        const char* part;
        bool hard;
        double atMostSeconds;
    };
    std::vector<Case> cases = {{"27C256", false, 7.0}, {"27C256", true, 0}};
#ifndef MOLTRIX_SANITIZED
    cases.push_back({"27C080", false, 180.0});  // a million bytes: the normal build only
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + (c.hard ? ", hard" : ""));
        OpBench bench(6, c.part);
        auto& p = bench.p();
        if (c.hard) static_cast<sim::Eprom*>(bench.board.chip())->settings.hard = true;
        p.pulse.Set(programming::PulseWidth::kDatasheet);
        auto& code = p.buffers.CodeBuffer;
        const auto size = static_cast<std::size_t>(p.selection.DeviceSize);
        std::mt19937 gen(9);
        for (std::size_t a = 0; a < (c.hard ? 512 : size); ++a) code[a] = static_cast<std::uint8_t>(gen());
        const sim::Nanos start = bench.ports.Time().Now();
        p.program.Program_button_Click();
        EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().end(), code.begin()));
        if (c.hard) continue;
        const double seconds = static_cast<double>(bench.ports.Time().Now() - start) / 1e9;
        EXPECT_LE(seconds, c.atMostSeconds);
        std::uint64_t bytes = 0;
        for (std::size_t a = 0; a < size; ++a) bytes += code[a] != 0xFF;
        const auto pulses = bench.board.counters().pulses.total;
        EXPECT_LE(static_cast<double>(pulses), 1.01 * static_cast<double>(bytes)) << pulses << " pulses, " << bytes << " bytes";
    }
}

// The entry is remembered between runs and off unless asked for.
TEST(DatasheetPulse, TheMenuEntryIsRememberedBetweenRuns) {
    Rig first;
    EXPECT_FALSE(first.p().form.mnuToolsDatasheetPulse.checked);
    EXPECT_EQ(first.p().pulse.Asked(), programming::PulseWidth::kSlider);
    first.p().form.mnuToolsDatasheetPulse.Click();
    EXPECT_TRUE(first.p().form.mnuToolsDatasheetPulse.checked);
    Rig second;
    second.settings.values = first.settings.values;
    second.core = std::make_unique<Programmer>(second.services);
    EXPECT_TRUE(second.p().form.mnuToolsDatasheetPulse.checked);
    EXPECT_EQ(second.p().pulse.Asked(), programming::PulseWidth::kDatasheet);
    second.p().form.mnuToolsDatasheetPulse.Click();
    EXPECT_EQ(second.settings.values.begin()->second, "0");
}

}  // namespace
}  // namespace moltrix::testing
