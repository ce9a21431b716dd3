// Board timing that is the same on every PC: one table of the programming
// routines on benches whose loop pass costs 1, 5, 20 and 50 ns, at slider
// positions 1, 9, 18 and 20. The simulated chips judge by time.
#include "programming/chip_corners.h"
#include "sim/eprom.h"

namespace moltrix::testing {
namespace {

constexpr sim::Nanos kPasses[] = {1, 5, 20, 50};
constexpr int kSliders[] = {1, 9, 18, 20};

struct Part {
    const char* name;
    int model, volts;  // voltage option of an EPROM: 1 = 12.5 V, 2 = 21 V, 3 = 25 V
};
// One part of each EPROM routine (the 27C512's is the 27C080's too).
constexpr Part kEproms[] = {{"2732", 6, 3}, {"2764", 5, 2}, {"27C256", 4, 1}, {"27C512", 6, 1}, {"27C010", 5, 1}};

// What the chip saw of the pulses: how many, and how long they were in all.
struct PulseSum {
    std::uint64_t count = 0;
    sim::Nanos width = 0;
    bool operator==(const PulseSum&) const = default;
};

PulseSum ProgramEprom(const Part& part, sim::Nanos pass, int slider, bool hard, bool& held) {
    OpBench bench(part.model, part.name);
    bench.ports.Time().pass_time = pass;
    if (hard) static_cast<sim::Eprom*>(bench.board.chip())->settings.hard = true;
    auto& f = bench.p().form;
    f.Voltage_button.Click(part.volts);
    f.Slider1.SetValue(slider);
    const auto size = static_cast<std::size_t>(bench.p().selection.DeviceSize);
    auto& code = bench.p().buffers.CodeBuffer;
    std::mt19937 gen(static_cast<unsigned>(size));
    for (std::size_t a = 0; a < 96; ++a) code[a] = static_cast<std::uint8_t>(gen());
    for (std::size_t a = size - 32; a < size; ++a) code[a] = static_cast<std::uint8_t>(gen());
    bench.p().program.Program_button_Click();
    held = std::equal(bench.Chip().begin(), bench.Chip().end(), code.begin()) &&
           bench.Logged("Programming Device Successfull");
    PulseSum sum;
    const auto& pulses = bench.board.counters().pulses;
    for (std::uint32_t a = 0; a < size; ++a) sum.width += pulses.width[a];
    sum.count = pulses.total;
    return sum;
}

TEST(TimingCorners, EveryRoutineProgramsOnEveryPcAtEverySpeed) {
    for (const Part& part : kEproms) {
        for (int slider : kSliders) {
            PulseSum onTheFastPcs;
            for (sim::Nanos pass : kPasses) {
                SCOPED_TRACE(std::string(part.name) + ", slider " + std::to_string(slider) + ", " +
                             std::to_string(pass) + " ns a pass");
                bool held = false;
                const PulseSum sum = ProgramEprom(part, pass, slider, false, held);
                EXPECT_TRUE(held);
                // A pass lasts 20 ns on every PC that is not slower than that.
                if (pass == kPasses[0]) onTheFastPcs = sum;
                if (pass <= 20) {
                    EXPECT_EQ(sum, onTheFastPcs);
                }
                if (::testing::Test::HasFailure()) return;
            }
        }
        for (sim::Nanos pass : kPasses) {  // a chip at its datasheet maximum, at the default speed
            bool held = false;
            ProgramEprom(part, pass, 18, true, held);
            EXPECT_TRUE(held) << part.name << " at its maximum, " << pass << " ns a pass";
        }
    }
    for (const char* part : {"AT29C256", "X28C256"}) {
        for (int slider : kSliders) {
            for (sim::Nanos pass : kPasses) {
                SCOPED_TRACE(std::string(part) + ", slider " + std::to_string(slider) + ", " + std::to_string(pass) +
                             " ns a pass");
                const ChipCorner corner{"", sim::TimingCorner::Typical, slider, 1500};
                ChipBench bench(part, corner);
                bench.ports.Time().pass_time = pass;
                bench.p().program.Program_button_Click();
                EXPECT_TRUE(bench.ChipHoldsBuffer(32 * 1024));
                EXPECT_EQ(bench.board.counters().write_cycles, 513u) << "one write cycle a page, and the unprotect";
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

// Identifying, selecting and erasing an AT29C256 write no byte into it, at
// any speed, on a slow PC.
TEST(TimingCorners, At29c256CommandsLeaveTheChipAsItWas) {
    for (int slider = 1; slider <= 20; ++slider) {
        SCOPED_TRACE("slider " + std::to_string(slider));
        const ChipCorner corner{"", sim::TimingCorner::Typical, 18, 1500};
        ChipBench bench("AT29C256", corner);
        bench.ports.Time().pass_time = 50;
        const std::vector<std::uint8_t> before = bench.Chip();
        bench.p().form.Slider1.SetValue(slider);
        bench.p().form.menuFlashShowCodeID.Click();
        bench.p().form.Device.SetListIndex(DeviceListIndex(bench.p(), "AT29C256"));
        EXPECT_TRUE(bench.Logged("Device ID# 1FDC - ATMEL 29C256 Flash Memory")) << bench.rig.LogMessages().back();
        EXPECT_EQ(bench.Chip(), before);
        EXPECT_EQ(bench.board.counters().write_cycles, 0u);
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
}  // namespace moltrix::testing
