// The 29F0x0 flash parts on simulated chips: identification, chip erase and
// byte programming; the chip's contents and what it saw are the truth.
#include "programming/chip_corners.h"
#include "sim/jedec_flash.h"

namespace moltrix::testing {
namespace {

bool AllErased(const std::vector<std::uint8_t>& m) {
    return std::all_of(m.begin(), m.end(), [](std::uint8_t b) { return b == 0xFF; });
}

sim::JedecFlash& Flash(OpBench& bench) { return *static_cast<sim::JedecFlash*>(bench.board.chip()); }

TEST(FlashId, EachSimulatedPartIsNamedFromItsCode) {
    struct Case {
        const char* selected;
        const char* inSocket;
        const char* line;
    };
    for (const Case& c : {Case{"AM29F010", "AM29F010", "Device ID# 0120 - AMD am29F010 Flash Memory"},
                          Case{"AM29F040", "AM29F040", "Device ID# 01A4 - AMD am29F040 Flash Memory"},
                          Case{"AM29F040", "EN29F040", "Device ID# 1C04 - EON EN29F040 Flash Memory"},
                          Case{"AM29F040", "A29040", "Device ID# 3786 - AMIC A29040 Flash Memory"},
                          Case{"AT29C256", "AT29C256", "Device ID# 1FDC - ATMEL 29C256 Flash Memory"},
                          Case{"AM29F020", "AM29F020", "Device ID# 01B0 -  Not Valid!!!"}}) {
        SCOPED_TRACE(c.inSocket);
        OpBench bench(6, c.selected);
        sim::InsertDevice(bench.board, c.inSocket);
        const auto before = bench.rig.LogMessages().size();
        const auto commands = bench.board.counters().flash_commands;
        bench.p().form.menuFlashShowCodeID.Click();
        EXPECT_EQ(bench.LogFrom(before),
                  (std::vector<std::string>{"Reading Flash Code ID_________________ wait", c.line}));
        const auto& seen = bench.board.counters();
        EXPECT_EQ(seen.flash_commands[0x90] - commands[0x90], 1u) << "the chip took the unlock cycles and the command";
        EXPECT_EQ(seen.flash_commands[0xF0] - commands[0xF0], 1u);
        for (auto w : seen.writes_ignored) EXPECT_EQ(w, 0u);
        EXPECT_EQ(seen.contention_reads, 0u);
    }
}

TEST(FlashId, EmptySocketIsNoFlashAndStopsTheErase) {
    OpBench bench(6, "AM29F040");
    bench.board.RemoveChip();
    const auto before = bench.rig.LogMessages().size();
    bench.p().form.EraseFlash_button.Click();
    EXPECT_EQ(bench.LogFrom(before),
              (std::vector<std::string>{"Flash Erase Button Pressed", "*** Not a Flash Unit, Address 00&01 = FlashCode ***",
                                        "Device ID# FFFF -  Not Valid!!!"}));
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Unsupported);

    // Another family: the identification does nothing.
    OpBench eprom(6, "27C256");
    const auto latches = eprom.board.counters().latches;
    const auto lines = eprom.rig.LogMessages().size();
    eprom.p().flashId.menuFlashShowCodeID_Click();
    eprom.p().erase.EraseFlash_button_Click();
    EXPECT_EQ(eprom.LogFrom(lines), (std::vector<std::string>{"Reading Flash Code ID_________________ wait"}));
    EXPECT_EQ(eprom.board.counters().latches, latches);
    EXPECT_EQ(eprom.p().regs.EraseMode, 1);
}

TEST(FlashErase, ProgrammedChipsEndErasedAtEachCorner) {
    for (const char* part : {"AM29F010", "AM29F040"}) {
        for (const ChipCorner& corner : kChipCorners) {
            if (part == std::string("AM29F040") && corner.slider == 18) continue;  // the longest erases once each
            SCOPED_TRACE(std::string(part) + ", " + corner.name);
            ChipBench bench(part, corner);
            const auto before = bench.rig.LogMessages().size();
            bench.p().form.EraseFlash_button.Click();
            EXPECT_TRUE(AllErased(bench.Chip()));
            const std::string id = part == std::string("AM29F010") ? "0120" : "01A4";
            const auto lines = bench.LogFrom(before);
            ASSERT_EQ(lines.size(), 4u);
            EXPECT_EQ(lines[2], "Device ID# " + id + " - Erase Operation Started.. WAIT!");
            EXPECT_EQ(lines[3], "Flash Erasing Operation COMPLETED");
            EXPECT_EQ(bench.board.counters().flash_commands[0xF0], 2u) << "back to read mode";
            EXPECT_EQ(bench.IgnoredWrites(), 0u);
            EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Ok);
        }
    }
}

TEST(FlashErase, ChipThatNeverFinishesTimesOutWithoutAlert) {
    OpBench bench(6, "AM29F010");
    Flash(bench).settings.erase_time = sim::kNever;
    bench.FillRandom();
    const auto start = bench.ports.Time().Now();
    const auto before = bench.rig.LogMessages().size();
    bench.p().form.EraseFlash_button.Click();
    const auto lines = bench.LogFrom(before);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              (std::vector<std::string>{"TimeOut Failure during Erasing Flash", "Flash Chip is not responding",
                                        "Erasing Operation NOT COMPLETED!"}));
    EXPECT_GE(bench.ports.Time().Now() - start, 8 * sim::kSecond) << "the datasheet's longest 29F010 erase";
    EXPECT_EQ(bench.board.counters().flash_commands[0xF0], 1u) << "no read-mode command after a time-out";
    EXPECT_FALSE(bench.p().lamps.ErrorLampLit());
    EXPECT_TRUE(bench.rig.dialogs.shown.size() == 1) << "the safety question only";
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::EraseTimeout);
}

TEST(FlashErase, CancelTouchesNothingAndUnknownMakerStops) {
    OpBench bench(6, "AM29F010");
    bench.FillRandom();
    const auto contents = bench.Chip();
    const auto latches = bench.board.counters().latches;
    bench.rig.dialogs.messageAnswers.push_back(platform::MsgResult::Cancel);
    bench.p().form.EraseFlash_button.Click();
    EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Are you SURE about Erase the Device?");
    EXPECT_EQ(bench.rig.dialogs.shown.back().title, "Safety Question");
    EXPECT_EQ(bench.rig.dialogs.shown.back().defaultButton, platform::MsgDefault::Second) << "Cancel";
    EXPECT_TRUE(bench.Logged("Erasing Operation was Canceled by Operator"));
    EXPECT_EQ(bench.board.counters().latches, latches);
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Cancelled);

    Flash(bench).settings.maker = 0x22;
    bench.p().form.EraseFlash_button.Click();
    EXPECT_TRUE(bench.Logged("Device ID# 2220 -  Not Valid!!!"));
    EXPECT_FALSE(bench.Logged("Device ID# 2220 - Erase Operation Started.. WAIT!"));
    EXPECT_EQ(bench.Chip(), contents);
}

TEST(FlashProgram, RandomImagesAtEachCorner) {
    for (const char* part : {"AM29F010", "AM29F020", "AM29F040"}) {
        for (const ChipCorner& corner : kChipCorners) {
            SCOPED_TRACE(std::string(part) + ", " + corner.name);
            ChipBench bench(part, corner);
            auto& p = bench.p();
            bench.board.chip()->Fill(0xFF);
            bench.board.RefreshChip();
            p.buffers.CodeSize = 1000;
            p.program.Program_button_Click();
            EXPECT_TRUE(bench.ChipHoldsBuffer(1024)) << "four whole pages";
            const auto& ops = bench.board.counters().program_ops;
            EXPECT_GT(ops[1023], 0u);
            EXPECT_EQ(ops[1024], 0u);
            EXPECT_TRUE(std::all_of(bench.Chip().begin() + 1024, bench.Chip().end(), [](auto b) { return b == 0xFF; }));
            EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
            EXPECT_EQ(bench.IgnoredWrites(), 0u);
            EXPECT_EQ(bench.board.counters().contention_reads, 0u);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

TEST(FlashProgram, WholeChipAndAnEightyKilobyteFile) {
    {
        ChipBench bench("AM29F020", kChipCorners[0]);
        bench.board.chip()->Fill(0xFF);
        bench.p().buffers.CodeSize = 80 * 1024;
        bench.p().program.Program_button_Click();
        const auto& ops = bench.board.counters().program_ops;
        EXPECT_EQ(ops[81919], 1u) << "bank 1, page 63";
        EXPECT_EQ(ops[81920], 0u);
        EXPECT_TRUE(bench.ChipHoldsBuffer(81920));
    }
#ifndef MOLTRIX_SANITIZED
    ChipBench bench("AM29F040", kChipCorners[0]);
    bench.board.chip()->Fill(0xFF);
    bench.p().program.Program_button_Click();
    EXPECT_TRUE(bench.ChipHoldsBuffer(512 * 1024)) << "A18 reaches the chip";
    EXPECT_TRUE(bench.Logged("Device ID# 01A4 - Start programming"));
    EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
    EXPECT_EQ(bench.p().form.ProgressBar1.value, 0) << "back at rest";
#endif
}

// A byte the chip cannot program (a cell that takes nothing, a 0 the image
// wants as 1) makes it give up and answer status at every address until a
// reset. The failure report's read byte and the commands after it see the
// cell's data; the tries after the chip gave up do not reach it.
TEST(FlashProgram, ByteThatNeverTakesLeavesTheChipReadingData) {
    struct Case {
        const char* part;
        std::size_t corner;
        std::int32_t address;
        std::uint8_t cell, image;
        bool dead;
        const char* line;
    };
    for (const Case& c : {Case{"AM29F010", 3, 0x21, 0xFF, 0x5A, true, "*** Address:21h, Programming BYTE:5Ah, Read BYTE:FFh"},
                          Case{"AM29F040", 0, 0x1F00, 0x00, 0xC3, false,
                               "*** Address:1F00h, Programming BYTE:C3h, Read BYTE:0h"}}) {
        SCOPED_TRACE(c.part);
        ChipBench bench(c.part, kChipCorners[c.corner]);
        auto& p = bench.p();
        bench.board.chip()->Fill(0xFF);
        bench.Poke(static_cast<std::size_t>(c.address), c.cell);
        if (c.dead) bench.board.chip()->SetDead(static_cast<std::uint32_t>(c.address));
        p.buffers.CodeSize = 0x2000;
        p.buffers.CodeBuffer[static_cast<std::size_t>(c.address)] = c.image;
        p.program.Program_button_Click();
        EXPECT_TRUE(bench.Logged(c.line));
        EXPECT_FALSE(bench.Logged("Programming Device Successfull"));
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::ProgramFailed);
        EXPECT_EQ(bench.board.counters().program_ops[static_cast<std::uint32_t>(c.address)], 1u);
        EXPECT_TRUE(bench.ChipHoldsBuffer(static_cast<std::size_t>(c.address)));

        p.checks.Read_button_Click();
        EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().begin() + 0x2000, p.buffers.CodeBuffer.begin()))
            << "the chip reads data again";
    }
}

TEST(FlashProgram, UnsupportedMakerIsNotWritten) {
    ChipBench bench("AM29F010", kChipCorners[0]);
    Flash(bench).settings.maker = 0x22;
    const auto contents = bench.Chip();
    bench.p().program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("Device ID# 2220 - Not Supported"));
    EXPECT_FALSE(bench.Logged("Programming Device Successfull"));
    EXPECT_FALSE(bench.Logged("Device Not Supported - Status 9 - Please Report"));
    EXPECT_EQ(bench.Chip(), contents);
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Unsupported);
}

TEST(FlashService, ResetWriteAndTestLoop) {
    OpBench bench(6, "AM29F010");
    auto& p = bench.p();
    auto& seen = bench.board.counters();
    p.regs.REG4ON();  // the entry leaves register 4 as it finds it: driving, after a test loop
    p.form.ResetFlash.onClick();
    EXPECT_EQ(seen.flash_commands[0xF0], 1u) << "one F0h write, no unlock";
    p.form.Slider1.SetValue(1);
    p.addr.Address = 0x40;
    p.image.BuildProgramImage();
    p.form.LoopFlashTest.onClick();
    EXPECT_EQ(seen.program_ops[0x40], 1000u);
    EXPECT_EQ(seen.flash_commands[0xA0], 1000u);
    for (auto w : seen.writes_ignored) EXPECT_EQ(w, 0u);
}

}  // namespace
}  // namespace moltrix::testing
