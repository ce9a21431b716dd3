// 29F0x0-class flash in the socket: command cycles through the board's
// registers (WE = register-3 bit 2, A16-A18 = register-3 bits 0, 1, 3).
#include <gtest/gtest.h>

#include "sim/jedec_flash.h"
#include "sim/sim_clock.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

std::uint8_t HighBits(std::uint32_t address) {
    return static_cast<std::uint8_t>(((address >> 16) & 0x03) | (((address >> 18) & 1) << 3));
}

// One bus write: CE low, WE low, WE high (the write), CE high; OE stays high.
void Write(SimBench& b, std::uint32_t address, std::uint8_t data) {
    const std::uint8_t hi = HighBits(address);
    b.drv.Set(0, 0x40);
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
    b.chip->Memory()[0x6F00F] = 0x3F;
    Command(b, 0xA0);
    Write(b, 0x6F00F, 0xE5);
    const std::uint8_t first = Read(b, 0x6F00F);
    const std::uint8_t second = Read(b, 0x00000);  // any address polls
    EXPECT_EQ(first & 0x80, 0x00) << "DQ7 = complement of bit 7 of E5h";
    EXPECT_NE(first & 0x40, second & 0x40) << "DQ6 toggles";
    Command(b, 0xA0);  // ignored while busy
    Write(b, 0x00000, 0x00);
    b.Sleep(1 * kMillisecond);
    EXPECT_EQ(Read(b, 0x6F00F), 0x25) << "3Fh AND E5h";
    EXPECT_EQ(Read(b, 0x00000), 0xFF);
}

TEST(JedecFlash, ChipEraseTakesItsTimeAndPollsZeroOnDq7) {
    SimBench b(6, "AM29F010");
    SimClock clock(b.ports.Time());
    b.chip->Fill(0x00);
    Command(b, 0x80);
    Command(b, 0x10);
    EXPECT_EQ(Read(b, 0x100) & 0x80, 0x00);
    clock.Sleep(900);
    EXPECT_EQ(Read(b, 0x100) & 0x80, 0x00) << "still erasing after 0.9 s of the typical 1 s";
    clock.Sleep(100);
    EXPECT_EQ(Read(b, 0x100), 0xFF);
    EXPECT_EQ(b.chip->At(0x1FFFF), 0xFF);
}

TEST(JedecFlash, DefaultProgramTimeIsOverBeforeTheNextRead) {
    SimBench b(5, "AM29F010");
    Command(b, 0xA0);
    Write(b, 0x1FFFF, 0x5A);
    EXPECT_EQ(Read(b, 0x1FFFF), 0x5A);
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
