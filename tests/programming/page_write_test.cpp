// The AT29C256 and X28C256 page routines on simulated chips, software data
// protection switched on first: the whole chip holds the image afterwards.
#include "programming/chip_corners.h"
#include "sim/page_eeprom.h"

namespace moltrix::testing {
namespace {

constexpr std::size_t kChipBytes = 32 * 1024;

sim::PageEeprom& PageChip(OpBench& bench) { return *static_cast<sim::PageEeprom*>(bench.board.chip()); }

TEST(PageWrite, ProtectedChipsProgramAtEachCorner) {
    for (const char* part : {"AT29C256", "X28C256"}) {
        for (const ChipCorner& corner : kChipCorners) {
            SCOPED_TRACE(std::string(part) + ", " + corner.name);
            ChipBench bench(part, corner);
            PageChip(bench).protection = true;
            bench.p().program.Program_button_Click();
            EXPECT_TRUE(bench.ChipHoldsBuffer(kChipBytes));
            EXPECT_TRUE(bench.Logged(part == std::string("X28C256") ? "XICOR 28C256 Programmed Sucessfully"
                                                                    : "FLASH Atmel AT29C256 Programmed Sucessfully"));
            EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
            EXPECT_FALSE(PageChip(bench).protection) << "opened, and not switched on again";
            const auto& seen = bench.board.counters();
            EXPECT_EQ(seen.writes_ignored[sim::BoardCounters::kChipBusy], 0u) << "no load into a running cycle";
            EXPECT_EQ(seen.writes_ignored[sim::BoardCounters::kOeLow], 0u);
            EXPECT_EQ(seen.contention_reads, 0u);
            EXPECT_EQ(bench.highestProgress, 64);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

// At the fastest slider position the pauses are the chip's own: 1 ms before
// each page try, and on the X28C256 3 ms after each page load.
TEST(PageWrite, PausesAtTheFastestSlider) {
    for (const char* part : {"AT29C256", "X28C256"}) {
        SCOPED_TRACE(part);
        ChipBench bench(part, kChipCorners[1]);
        const auto slept = bench.clock.TotalSleptMs();
        bench.p().program.Program_button_Click();
        ASSERT_TRUE(bench.ChipHoldsBuffer(kChipBytes));
        EXPECT_EQ(bench.board.counters().write_cycles, 513u) << "the unprotect sequence and one load per page";
        const long long setUp = part == std::string("X28C256") ? 500 + 500 + 5 + 40 : 500 + 500 + 20 + 50;
        const long long perPage = part == std::string("X28C256") ? 1 + 3 : 1;
        EXPECT_EQ(bench.clock.TotalSleptMs() - slept, setUp + 512 * perPage);
    }
}

// The second run finds every page's last byte already right: the poll must
// still wait for the write cycle the load starts, also at the slowest slider
// where the pause before a try outlasts the cycle.
TEST(PageWrite, At29c256ProgramsAPageItAlreadyHolds) {
    ChipBench bench("AT29C256", kChipCorners[2]);
    bench.p().program.Program_button_Click();
    ASSERT_TRUE(bench.ChipHoldsBuffer(kChipBytes));
    const auto cycles = bench.board.counters().write_cycles;
    bench.p().program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("FLASH Atmel AT29C256 Programmed Sucessfully"));
    EXPECT_EQ(bench.board.counters().write_cycles - cycles, 513u) << "one load per page";
}

TEST(PageWrite, At29c256PageThatNeverVerifiesOrPolls) {
    struct Case {
        std::uint32_t dead;
        const char* report;
        std::uint32_t tries;
        bool pollLine;
    };
    // A dead byte inside page 1 fails its verify 19 times; a dead last byte
    // never reads back in the poll.
    for (const Case& c : {Case{0x45, "*** Address:45h, Programming BYTE:5Ah, Read BYTE:0h", 19, false},
                          Case{0x7F, "*** Address:7Fh, Programming BYTE:5Ah, Read BYTE:0h", 1, true}}) {
        ChipBench bench("AT29C256", kChipCorners[0]);
        bench.Poke(c.dead, 0x00);
        bench.board.chip()->SetDead(c.dead);
        bench.p().buffers.CodeBuffer[c.dead] = 0x5A;
        bench.p().program.Program_button_Click();
        EXPECT_EQ(bench.Logged("Error: At29C256 TimeOut Programming Polling"), c.pollLine);
        EXPECT_TRUE(bench.Logged(c.report));
        EXPECT_EQ(bench.board.counters().program_ops[c.dead], c.tries);
        EXPECT_TRUE(bench.ChipHoldsBuffer(0x40)) << "page 0 was written";
        EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::ProgramFailed);
    }
}

TEST(PageWrite, XicorEraseAndAChipThatCannotBeWritten) {
    {
        ChipBench bench("X28C256", kChipCorners[3]);
        const auto code = bench.p().buffers.CodeBuffer;
        const auto before = bench.rig.LogMessages().size();
        bench.p().erase.EraseFlash_button_Click();
        const auto lines = bench.LogFrom(before);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
                  (std::vector<std::string>{"Erasing Program Buffer", "Erasing XICOR 28C256",
                                            "Programming 28C256 XICOR Device"}));
        EXPECT_TRUE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
        EXPECT_EQ(bench.p().buffers.CodeBuffer, code) << "the buffer is not erased";
    }
    ChipBench bench("X28C256", kChipCorners[1]);
    bench.Poke(0, 0x00);
    bench.board.chip()->SetDead(0);
    bench.p().erase.EraseFlash_button_Click();
    EXPECT_TRUE(bench.Logged("*** Address:0h, Programming BYTE:FFh, Read BYTE:0h"));
    EXPECT_EQ(bench.board.counters().program_ops[0], 79u);
    const auto& image = bench.p().image.ProgramImage;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + kChipBytes, bench.p().buffers.CodeBuffer.begin()))
        << "the image is the code buffer's again";
}

TEST(PageWrite, At29c256EraseAndAnUnsupportedCode) {
    ChipBench bench("AT29C256", kChipCorners[4]);
    bench.p().form.EraseFlash_button.Click();
    EXPECT_TRUE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(bench.Logged("Flash Erasing Operation COMPLETED"));

    bench.FillRandom();
    bench.clock.Sleep(100);  // the operator's next click: the read-mode command's loads have ended
    PageChip(bench).settings.device = 0x5D;
    bench.p().form.EraseFlash_button.Click();
    EXPECT_TRUE(bench.Logged("Device ID# 1F5D - ATMEL 29C512 Flash Memory"));
    EXPECT_TRUE(bench.Logged("Device ID# 1F5D - Not Supported"));
    EXPECT_FALSE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
}

}  // namespace
}  // namespace moltrix::testing
