// 29F0x0-class flash in the socket: command cycles through the board's
// registers (WE = register-3 bit 2, A16-A18 = register-3 bits 0, 1, 3).
#include <gtest/gtest.h>

#include "sim/jedec_flash.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

std::uint8_t HighBits(std::uint32_t address) {
    return static_cast<std::uint8_t>(((address >> 16) & 0x03) | (((address >> 18) & 1) << 3));
}

// One bus write: CE low, WE low, WE high (the write), CE high; OE stays high
// (or low, which makes it no write).
void Write(SimBench& b, std::uint32_t address, std::uint8_t data, bool oe_low = false) {
    const std::uint8_t hi = HighBits(address);
    b.drv.Set(0, oe_low ? 0x00 : 0x40);
    b.drv.Set(4, data);
    b.drv.Set(1, static_cast<std::uint8_t>(address >> 8));
    b.drv.Set(2, static_cast<std::uint8_t>(address));
    b.drv.Set(3, 0x84 | hi);
    b.drv.Set(3, 0x04 | hi);
    b.drv.Set(3, 0x00 | hi);
    b.drv.Set(3, 0x04 | hi);
    b.drv.Set(3, 0x84 | hi);
}

std::uint8_t Read(SimBench& b, std::uint32_t address) {
    const std::uint8_t hi = HighBits(address);
    b.drv.Set(3, 0xC4 | hi);
    b.drv.Set(1, static_cast<std::uint8_t>(address >> 8));
    b.drv.Set(2, static_cast<std::uint8_t>(address));
    b.drv.Set(3, 0x44 | hi);
    const std::uint8_t v = b.drv.ReadWithOe();
    b.drv.Set(3, 0xC4 | hi);
    return v;
}

void Command(SimBench& b, std::uint8_t command) {
    testing::JedecCommand([&](std::uint32_t address, std::uint8_t data) { Write(b, address, data); }, command);
}

TEST(JedecFlash, AutoselectGivesEachPartsCodesAndResetLeavesIt) {
    struct Case {
        const char* part;
        std::uint8_t maker, device;
    };
    for (const Case& c : {Case{"AM29F010", 0x01, 0x20}, Case{"AM29F020", 0x01, 0xB0},
                          Case{"AM29F040", 0x01, 0xA4}, Case{"A29040", 0x37, 0x86},
                          Case{"EN29F040", 0x1C, 0x04}}) {
        SimBench b(6, c.part);
        b.chip->Memory()[0] = 0x11;
        b.chip->Memory()[1] = 0x22;
        Command(b, 0x90);
        EXPECT_EQ(Read(b, 0), c.maker) << c.part;
        EXPECT_EQ(Read(b, 1), c.device) << c.part;
        Command(b, 0xF0);
        EXPECT_EQ(Read(b, 0), 0x11) << c.part;
        Command(b, 0x90);
        Write(b, 0x1234, 0xF0);  // a lone reset write
        EXPECT_EQ(Read(b, 1), 0x22) << c.part;
        EXPECT_EQ(b.board.counters().flash_commands[0x90], 2u);
    }
}

TEST(JedecFlash, WrongUnlockIsIgnoredAndHighAddressLinesDoNotMatter) {
    SimBench b(5, "AM29F040");
    b.chip->Memory()[0] = 0x11;
    const std::uint32_t bad[][3] = {
        {0x5554, 0x2AAA, 0x5555}, {0x5555, 0x2AAB, 0x5555}, {0x5555, 0x2AAA, 0x5556}};
    for (const auto& a : bad) {
        Write(b, a[0], 0xAA);
        Write(b, a[1], 0x55);
        Write(b, a[2], 0x90);
        EXPECT_EQ(Read(b, 0), 0x11);
    }
    Write(b, 0x5555, 0xAA);
    Write(b, 0x2AAA, 0x54);  // wrong data
    Write(b, 0x5555, 0x90);
    EXPECT_EQ(Read(b, 0), 0x11);
    // A15-A18 are not part of the command address.
    Write(b, 0x75555, 0xAA);
    Write(b, 0x4AAAA, 0x55);
    Write(b, 0x1D555, 0x90);
    EXPECT_EQ(Read(b, 0), 0x01);
}

TEST(JedecFlash, ByteProgramPollsOnDq7ThenHoldsCellAndData) {
    SimBench b(6, "AM29F040");
    // Long enough to see a whole command sequence arrive while busy.
    b.As<JedecFlash>().settings.program_time = 1 * kMillisecond;
    b.chip->Memory()[0x6F00F] = 0xF7;  // the 1s E5h needs are there
    Command(b, 0xA0);
    Write(b, 0x6F00F, 0xE5);
    const std::uint8_t first = Read(b, 0x6F00F);
    const std::uint8_t second = Read(b, 0x00000);  // any address polls
    EXPECT_EQ(first & 0x80, 0x00) << "DQ7 = complement of bit 7 of E5h";
    EXPECT_NE(first & 0x40, second & 0x40) << "DQ6 toggles";
    Command(b, 0xA0);  // ignored while busy
    Write(b, 0x00000, 0x00);
    b.Sleep(1 * kMillisecond);
    EXPECT_EQ(Read(b, 0x6F00F), 0xE5) << "F7h AND E5h";
    EXPECT_EQ(Read(b, 0x00000), 0xFF);
    const BoardCounters& n = b.board.counters();
    EXPECT_EQ(n.writes_ignored[BoardCounters::kChipBusy], 4u);
    EXPECT_EQ(n.reads_while_busy, 2u);
    EXPECT_EQ(n.program_ops[0x6F00F], 1u);
    EXPECT_EQ(n.program_ops[0x00000], 0u);
}

// Datasheet chip-erase times: typical by default, about 8 times that at the
// maximum corner.
TEST(JedecFlash, ChipEraseTakesTheDatasheetTimeAndPollsZeroOnDq7) {
    struct Case {
        const char* part;
        Nanos typical;
    };
    for (const Case& c : {Case{"AM29F010", 1 * kSecond}, Case{"AM29F020", 2 * kSecond},
                          Case{"AM29F040", 8 * kSecond}, Case{"A29040", 8 * kSecond}}) {
        for (TimingCorner corner : {TimingCorner::Typical, TimingCorner::Maximum}) {
            const Nanos erase = corner == TimingCorner::Maximum ? 8 * c.typical : c.typical;
            SimBench b(6, c.part, 1, corner);
            b.chip->Fill(0x00);
            Command(b, 0x80);
            Command(b, 0x10);
            const Nanos started = b.ports.Time().Now();
            EXPECT_EQ(Read(b, 0x100) & 0x80, 0x00) << c.part;
            b.Sleep(erase - (b.ports.Time().Now() - started) - 100 * kMicrosecond);
            EXPECT_EQ(Read(b, 0x100) & 0x80, 0x00) << c.part << ": still erasing just before its time";
            b.Sleep(100 * kMicrosecond);
            EXPECT_EQ(Read(b, 0x100), 0xFF) << c.part;
            EXPECT_EQ(b.chip->At(b.chip->Size() - 1), 0xFF) << c.part;
        }
    }
}

// Bytes program in the typical 7 us, which is over before a read can follow;
// a seeded few take longer, up to the 300 us maximum, and are still busy
// when read back at once. At the maximum corner every byte takes 300 us.
TEST(JedecFlash, SlowByteIsStillBusyWhenReadBackEarly) {
    SimBench b(5, "AM29F010");
    auto& flash = b.As<JedecFlash>();
    std::uint32_t slow = 0, slow_bytes = 0;
    for (std::uint32_t a = 0; a < flash.Size(); ++a) {
        const Nanos t = flash.ProgramTime(a);
        ASSERT_GE(t, kFlashProgramTypical);
        ASSERT_LE(t, kFlashProgramMax);
        if (t > kFlashProgramTypical) ++slow_bytes;
        if (t > 200 * kMicrosecond) slow = a;
    }
    EXPECT_GT(slow_bytes, 500u);  // about one in 100 of 128 Ki
    EXPECT_LT(slow_bytes, 2000u);
    ASSERT_NE(slow, 0u);

    const std::uint32_t typical = flash.ProgramTime(0x1FFFF) == kFlashProgramTypical ? 0x1FFFF : 0x1FFFE;
    Command(b, 0xA0);
    Write(b, typical, 0x5A);
    EXPECT_EQ(Read(b, typical), 0x5A);
    EXPECT_EQ(b.board.counters().reads_while_busy, 0u);

    Command(b, 0xA0);
    Write(b, slow, 0x5A);
    EXPECT_EQ(Read(b, slow) & 0x80, 0x80) << "DQ7: complement of 5Ah's bit 7";
    EXPECT_EQ(b.board.counters().reads_while_busy, 1u);
    b.Sleep(kFlashProgramMax);
    EXPECT_EQ(Read(b, slow), 0x5A);

    SimBench worst(5, "AM29F010", 1, TimingCorner::Maximum);
    EXPECT_EQ(worst.As<JedecFlash>().ProgramTime(typical), kFlashProgramMax);
    Command(worst, 0xA0);
    Write(worst, typical, 0x5A);
    EXPECT_EQ(Read(worst, typical) & 0x80, 0x80) << "every byte is slow at the maximum";
}

// A program the chip cannot complete (a 0 asked to become a 1, a cell that
// takes nothing) runs to the chip's time limit and gives up, and so does an
// erase that leaves a cell unerased: DQ5 reads 1 beside DQ7 (the complement of
// the data's bit 7, 0 for an erase) and a toggling DQ6, at every address, and
// every write but a reset (F0h, alone or after the unlock) is ignored.
TEST(JedecFlash, FailedProgramOrEraseAnswersStatusUntilReset) {
    struct Case {
        const char* what;
        std::uint32_t address;
        std::uint8_t cell, data;  // data: the byte programmed; none for the erase
        bool dead, erase, loneReset;
        std::uint8_t after;  // the cell once the chip reads data again
    };
    for (const Case& c : {Case{"0 to 1", 0x6F00F, 0x0F, 0x8F, false, false, true, 0x0F},
                          Case{"dead cell", 0x00021, 0xFF, 0x5A, true, false, false, 0xFF},
                          Case{"erase past a dead cell", 0x00300, 0x00, 0x00, true, true, true, 0x00}}) {
        SCOPED_TRACE(c.what);
        SimBench b(6, "AM29F040");
        b.chip->Memory()[c.address] = c.cell;
        b.chip->Memory()[0x100] = 0x11;
        if (c.dead) b.chip->SetDead(c.address);
        if (c.erase) {
            Command(b, 0x80);
            Command(b, 0x10);
            b.Sleep(8 * kSecond);
        } else {
            Command(b, 0xA0);
            Write(b, c.address, c.data);
            EXPECT_EQ(Read(b, c.address) & 0x20, 0x00) << "still trying";
            b.Sleep(kFlashProgramMax);
        }
        const std::uint8_t dq7 = c.erase ? 0x00 : static_cast<std::uint8_t>(~c.data & 0x80);
        const std::uint8_t first = Read(b, c.address), second = Read(b, 0x100);
        EXPECT_EQ(first & 0xA0, dq7 | 0x20);
        EXPECT_EQ(second & 0xA0, dq7 | 0x20) << "every address answers status";
        EXPECT_NE(first & 0x40, second & 0x40) << "DQ6 toggles";
        Command(b, 0x90);
        b.Sleep(kSecond);
        EXPECT_EQ(Read(b, 0x100) & 0x20, 0x20) << "no other command leaves the state";
        if (c.loneReset)
            Write(b, 0x1234, 0xF0);
        else
            Command(b, 0xF0);
        EXPECT_EQ(Read(b, c.address), c.after);
        EXPECT_EQ(Read(b, 0x100), c.erase ? 0xFF : 0x11);
    }
}

TEST(JedecFlash, WritesOutsideTheCommandSequenceOrWithOeLowAreIgnoredAndCounted) {
    SimBench b(6, "AM29F010");
    const auto& ignored = b.board.counters().writes_ignored;
    Write(b, 0x5555, 0xAA);
    Write(b, 0x2AAA, 0x54);  // wrong second cycle
    EXPECT_EQ(ignored[BoardCounters::kUnlockAborted], 1u);
    Write(b, 0x1234, 0x77);  // a write in read mode that starts nothing
    Command(b, 0x33);        // an unknown command
    EXPECT_EQ(ignored[BoardCounters::kUnlockAborted], 3u);
    Command(b, 0xA0);
    Write(b, 0x0042, 0x00, /*oe_low=*/true);
    EXPECT_EQ(ignored[BoardCounters::kOeLow], 1u);
    EXPECT_EQ(Read(b, 0x0042), 0xFF) << "a WE pulse with OE low writes nothing";
    Write(b, 0x0042, 0x00);
    EXPECT_EQ(Read(b, 0x0042), 0x00) << "the program command still waits for its write";
    EXPECT_EQ(ignored[BoardCounters::kChipBusy], 0u);
}

TEST(JedecFlash, FaultSwitchesWrongIdSlowProgramEndlessErase) {
    SimBench b(6, "AM29F040");
    auto& flash = b.As<JedecFlash>();
    flash.settings.maker = 0xFF;
    flash.settings.program_time = 1 * kMillisecond;
    flash.settings.erase_time = kNever;
    Command(b, 0x90);
    EXPECT_EQ(Read(b, 0), 0xFF);
    Command(b, 0xF0);
    Command(b, 0xA0);
    Write(b, 0x10, 0x00);
    b.Sleep(500 * kMicrosecond);
    EXPECT_EQ(Read(b, 0x10) & 0x80, 0x80) << "slow program still busy";
    b.Sleep(1 * kMillisecond);
    EXPECT_EQ(Read(b, 0x10), 0x00);
    Command(b, 0x80);
    Command(b, 0x10);
    b.Sleep(60'000 * kMillisecond);
    EXPECT_EQ(Read(b, 0x10) & 0x80, 0x00) << "the erase never ends";
}

TEST(JedecFlash, StrayWriteAfterEraseSetupDisarmsTheErase) {
    SimBench b(6, "AM29F010");
    b.chip->Fill(0x00);
    struct Stray {
        std::uint32_t address;
        std::uint8_t data;
    };
    for (const Stray& s : {Stray{0x1234, 0x77}, Stray{0x5555, 0x77}, Stray{0x2AAA, 0xAA}}) {
        Command(b, 0x80);
        Write(b, s.address, s.data);  // not AAh to 5555h: back to read mode
        Command(b, 0x10);
        b.Sleep(1000 * kMillisecond);
        EXPECT_EQ(Read(b, 0x0100), 0x00) << std::hex << s.address << " " << int(s.data);
    }
    Command(b, 0x80);
    Command(b, 0x10);
    b.Sleep(1000 * kMillisecond);
    EXPECT_EQ(Read(b, 0x0100), 0xFF) << "the full sequence still erases";
}

}  // namespace
}  // namespace moltrix::sim
