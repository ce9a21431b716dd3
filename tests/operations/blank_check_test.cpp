// The Blank Check command on simulated chips.
#include "op_bench.h"

namespace moltrix::testing {
namespace {

TEST(BlankCheck, ErasedChipPassesWithOneProgressStepPerPage) {
    OpBench bench(5, "27C512");
    auto& p = bench.p();
    p.form.Blank_button.Click();
    EXPECT_EQ(bench.LogFrom(bench.rig.LogMessages().size() - 2),
              (std::vector<std::string>{"Checking Device for BLANK (Erased)... Wait", "Device IS BLANK (ERASED)"}));
    EXPECT_EQ(bench.highestProgress, 256);
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);
    EXPECT_FALSE(p.lamps.ErrorLampLit());
}

TEST(BlankCheck, FirstLocationNotFFIsReportedAndTheAlertShownAndCleared) {
    struct Case {
        std::size_t address;
        std::uint8_t value;
        const char* line;
    };
    for (const Case& c : {Case{0xFFFF, 0xFE, "Address: FFFF ][ Device Data: FE"},
                          Case{0x1A3, 0x00, "Address: 1A3 ][ Device Data: 0"}}) {
        SCOPED_TRACE(c.line);
        OpBench bench(6, "27C512");
        auto& p = bench.p();
        bench.Poke(c.address, c.value);
        if (c.address + 1 < bench.Chip().size()) bench.Poke(c.address + 1, 0x12);  // later ones are not examined
        bool lampLitWhileShown = false;
        bench.rig.dialogs.whileMessageShown = [&] { lampLitWhileShown = p.lamps.ErrorLampLit(); };
        const auto before = bench.rig.LogMessages().size();
        p.form.Blank_button.Click();
        const auto lines = bench.LogFrom(before);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[1], "Device IS NOT BLANK (ERASED)");
        EXPECT_EQ(lines[2], c.line);
        EXPECT_EQ(p.checks.FailAddress, static_cast<std::int32_t>(c.address));
        EXPECT_TRUE(lampLitWhileShown);
        EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Program or Compare Error");
        EXPECT_FALSE(p.lamps.ErrorLampLit()) << "cleared after the message";
        EXPECT_TRUE(p.form.Read_button.enabled);
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NotBlank);
    }
}

TEST(BlankCheck, ShortWorkingSizeChecksWholePages) {
    for (auto [address, blank] : {std::pair{5100, false}, std::pair{5120, true}}) {
        OpBench bench(4, "27C256");
        bench.Poke(static_cast<std::size_t>(address), 0x7F);
        bench.p().buffers.CodeSize = 5000;
        bench.p().form.Blank_button.Click();
        EXPECT_EQ(bench.Logged("Device IS BLANK (ERASED)"), blank) << address;
    }
}

TEST(BlankCheck, SerialPartsGetTheMissingRoutineMessage) {
    OpBench bench(6, "24C08");
    EXPECT_FALSE(bench.p().form.Blank_button.enabled);
    bench.p().checks.BLANKCODE();
    EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Please Write Missing Routines at BLANKCODE");
    EXPECT_EQ(bench.rig.dialogs.shown.back().title, "Missing Routine");
}

}  // namespace
}  // namespace moltrix::testing
