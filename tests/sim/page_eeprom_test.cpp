// AT29C256 (WE on register-1 bit 7) and X28C256 (WE on register-1 bit 6,
// A14 on register-1 bit 7) page writes through the board's registers.
#include <gtest/gtest.h>

#include <string>

#include "sim/page_eeprom.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

struct Part {
    std::string name;
    std::uint8_t we;  // register-1 bit mask of WE
    std::uint8_t Reg1(std::uint16_t address, bool we_high) const {
        std::uint8_t r = (name == "X28C256")
                             ? static_cast<std::uint8_t>(((address >> 8) & 0x3F) | ((address & 0x4000) ? 0x80 : 0))
                             : static_cast<std::uint8_t>((address >> 8) & 0x7F);
        return static_cast<std::uint8_t>(we_high ? r | we : r);
    }
};
const Part kAt29{"AT29C256", 0x80};
const Part kX28{"X28C256", 0x40};

// One byte load: ~24 port accesses, well inside the load window.
void Write(SimBench& b, const Part& p, std::uint16_t address, std::uint8_t data) {
    b.drv.Set(0, 0x40);
    b.drv.Set(1, p.Reg1(address, true));
    b.drv.Set(2, static_cast<std::uint8_t>(address));
    b.drv.Set(4, data);
    b.drv.Set(3, 0x02);  // CE low, register 4 drives, VCC on
    b.drv.Set(1, p.Reg1(address, false));
    b.drv.Set(1, p.Reg1(address, true));
    b.drv.Set(3, 0x82);
}

std::uint8_t Read(SimBench& b, const Part& p, std::uint16_t address) {
    b.drv.Set(3, 0xC2);
    b.drv.Set(1, p.Reg1(address, true));
    b.drv.Set(2, static_cast<std::uint8_t>(address));
    b.drv.Set(3, 0x42);
    const std::uint8_t v = b.drv.ReadWithOe();
    b.drv.Set(3, 0xC2);
    return v;
}

void Sequence(SimBench& b, const Part& p, std::initializer_list<std::uint8_t> commands) {
    for (std::uint8_t c : commands) {
        testing::JedecCommand([&](std::uint16_t address, std::uint8_t data) { Write(b, p, address, data); }, c);
    }
}

// The write cycle: 5 ms by default, 10 ms at the datasheet maximum, for both parts.
TEST(PageEeprom, PageWriteEndsWithTheWindowAndPollsUntilDone) {
    struct Case {
        const Part& part;
        TimingCorner corner;
        Nanos cycle;
    };
    for (const Case& k : {Case{kAt29, TimingCorner::Typical, 5 * kMillisecond},
                          Case{kAt29, TimingCorner::Maximum, 10 * kMillisecond},
                          Case{kX28, TimingCorner::Typical, 5 * kMillisecond},
                          Case{kX28, TimingCorner::Maximum, 10 * kMillisecond}}) {
        const Part& p = k.part;
        const Nanos cycle = k.cycle;
        SimBench b(6, p.name, 1, k.corner);
        const std::uint16_t page = 0x7FC0;  // last page, A14 set
        for (std::uint16_t i = 0; i < 64; ++i) b.chip->Memory()[page + i] = 0x00;
        for (std::uint16_t i = 0; i < 10; ++i) Write(b, p, page + i, static_cast<std::uint8_t>(0x80 + i));
        const Nanos last_load = b.ports.Time().Now();
        b.Sleep(200 * kMicrosecond);  // the window closes, the cycle runs
        const std::uint8_t a = Read(b, p, page + 9), c = Read(b, p, page + 9);
        EXPECT_EQ(a & 0x80, 0x00) << p.name << ": complement of 89h's bit 7";
        EXPECT_NE(a & 0x40, c & 0x40) << p.name << ": DQ6 toggles";
        b.Sleep(cycle - (b.ports.Time().Now() - last_load));
        EXPECT_EQ(Read(b, p, page + 9) & 0x80, 0x00) << p.name << ": still busy at its cycle time after the load";
        EXPECT_EQ(b.board.counters().reads_while_busy, 3u) << p.name;
        b.Sleep(200 * kMicrosecond);  // the load window the cycle began after
        for (std::uint16_t i = 0; i < 10; ++i) EXPECT_EQ(Read(b, p, page + i), 0x80 + i) << p.name;
        EXPECT_EQ(b.board.counters().program_ops[page + 9], 1u) << p.name;
        EXPECT_EQ(b.board.counters().program_ops[page + 10], 0u) << p.name;
        // Bytes of the page that were not loaded: erased on the AT29C256, kept on the X28C256.
        const std::uint8_t expect_rest = p.name == "AT29C256" ? 0xFF : 0x00;
        EXPECT_EQ(b.chip->At(page + 10), expect_rest) << p.name;
        EXPECT_EQ(b.chip->At(page + 63), expect_rest) << p.name;
        EXPECT_EQ(b.board.counters().unloaded_bytes_erased, p.name == "AT29C256" ? 54u : 0u);
        EXPECT_EQ(b.board.counters().write_cycles, 1u) << p.name;
    }
}

TEST(PageEeprom, LoadAfterTheWindowLandsInTheWriteCycleAndIsLost) {
    for (const Part& p : {kAt29, kX28}) {
        SimBench b(5, p.name);
        Write(b, p, 0x0100, 0x11);
        Write(b, p, 0x0101, 0x22);
        b.Sleep(p.name == "AT29C256" ? 160 * kMicrosecond : 110 * kMicrosecond);
        Write(b, p, 0x0102, 0x33);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x0100), 0x11) << p.name;
        EXPECT_EQ(b.chip->At(0x0101), 0x22) << p.name;
        EXPECT_EQ(b.chip->At(0x0102), 0xFF) << p.name;
        EXPECT_EQ(b.board.counters().write_cycles, 1u) << p.name;
        EXPECT_EQ(b.board.counters().writes_ignored[BoardCounters::kChipBusy], 1u) << p.name;
    }
}

TEST(PageEeprom, SoftwareDataProtectionOnAndOff) {
    for (const Part& p : {kAt29, kX28}) {
        SimBench b(6, p.name);
        const auto protection = [&] { return b.As<PageEeprom>().protection; };
        EXPECT_FALSE(protection()) << "shipped unprotected";
        // Enable, with data in the same load.
        Sequence(b, p, {0xA0});
        Write(b, p, 0x0200, 0x12);
        b.Sleep(20 * kMillisecond);
        EXPECT_TRUE(protection()) << p.name;
        EXPECT_EQ(b.chip->At(0x0200), 0x12) << p.name;
        // A plain write changes nothing now, but runs its write cycle.
        const auto cycles = b.board.counters().write_cycles;
        Write(b, p, 0x0200, 0x34);
        b.Sleep(200 * kMicrosecond);
        EXPECT_EQ(Read(b, p, 0x0200) & 0x80, 0x80) << p.name << ": busy, polling the complement of 34h";
        EXPECT_EQ(b.board.counters().write_cycles, cycles + 1) << p.name;
        EXPECT_EQ(b.board.counters().writes_ignored[BoardCounters::kProtected], 1u) << p.name;
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(Read(b, p, 0x0200), 0x12) << p.name;
        // Written with the prefix, it goes through.
        Sequence(b, p, {0xA0});
        Write(b, p, 0x0200, 0x56);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x0200), 0x56) << p.name;
        // Disable: AA 55 80 AA 55 20, applied at the end of its write cycle.
        Sequence(b, p, {0x80, 0x20});
        b.Sleep(200 * kMicrosecond);
        EXPECT_TRUE(protection()) << p.name << ": not before the cycle ends";
        b.Sleep(20 * kMillisecond);
        EXPECT_FALSE(protection()) << p.name;
        Write(b, p, 0x0200, 0x78);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x0200), 0x78) << p.name;
    }
}

TEST(PageEeprom, At29c256ProductIdAndChipErase) {
    SimBench b(6, "AT29C256");
    b.chip->Fill(0x00);
    Sequence(b, kAt29, {0x90});
    b.Sleep(200 * kMicrosecond);
    EXPECT_EQ(Read(b, kAt29, 0), 0x1F);
    EXPECT_EQ(Read(b, kAt29, 1), 0xDC);
    Sequence(b, kAt29, {0xF0});
    b.Sleep(200 * kMicrosecond);
    EXPECT_EQ(Read(b, kAt29, 0), 0x00);
    Sequence(b, kAt29, {0x80, 0x10});
    b.Sleep(5 * kMillisecond);
    EXPECT_EQ(Read(b, kAt29, 0x1234) & 0x80, 0x00) << "erasing";
    b.Sleep(6 * kMillisecond);
    EXPECT_EQ(Read(b, kAt29, 0x1234), 0xFF);
    EXPECT_EQ(b.chip->At(0x7FFF), 0xFF);
}

TEST(PageEeprom, X28c256HasNoProductIdMode) {
    SimBench b(6, "X28C256");
    b.chip->Memory()[0] = 0x42;
    Sequence(b, kX28, {0x90});
    b.Sleep(200 * kMicrosecond);
    EXPECT_EQ(Read(b, kX28, 0), 0x42);
}

// The window runs from a WE rise to the next WE fall: a fall inside it keeps
// the load open however long WE then stays low.
TEST(PageEeprom, LoadWindowRunsFromAWeRiseToTheNextWeFall) {
    struct Case {
        Nanos fall, rise;  // of the second load, after the first load's WE rise
        bool second_loaded;
    };
    for (const Case& c : {Case{99 * kMicrosecond, 199 * kMicrosecond, true},
                          Case{101 * kMicrosecond, 110 * kMicrosecond, false}}) {
        SimBench b(6, kX28.name);  // 100 us window
        const auto now = [&] { return b.ports.Time().Now(); };
        // Each register write takes four port accesses; its latch is the last.
        const auto set_at = [&](Nanos at, int reg, std::uint8_t value) {
            ASSERT_LE(now() + 4 * kMicrosecond, at);
            b.Sleep(at - now() - 4 * kMicrosecond);
            b.drv.Set(reg, value);
            ASSERT_EQ(now(), at);
        };
        b.drv.Set(0, 0x40);
        b.drv.Set(1, kX28.Reg1(0x0300, true));
        b.drv.Set(2, 0x00);
        b.drv.Set(4, 0x11);
        b.drv.Set(3, 0x02);  // CE low, register 4 drives, VCC on
        b.drv.Set(1, kX28.Reg1(0x0300, false));
        b.drv.Set(1, kX28.Reg1(0x0300, true));
        const Nanos first_rise = now();
        b.drv.Set(2, 0x01);
        b.drv.Set(4, 0x22);
        set_at(first_rise + c.fall, 1, kX28.Reg1(0x0301, false));
        set_at(first_rise + c.rise, 1, kX28.Reg1(0x0301, true));
        b.drv.Set(3, 0x82);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x0300), 0x11) << c.fall;
        EXPECT_EQ(b.chip->At(0x0301), c.second_loaded ? 0x22 : 0xFF) << c.fall;
        EXPECT_EQ(b.board.counters().write_cycles, 1u) << c.fall;
    }
}

// Losing power forgets product-ID mode, loads and command prefixes in
// progress, and an unfinished write cycle; the part comes back in read mode.
TEST(PageEeprom, PowerLossForgetsTheTransactionAndAnUnfinishedCycle) {
    const auto power_cycle = [](SimBench& b) {
        b.drv.Set(3, 0xC0);  // VCC (register-3 bit 1) off
        b.Sleep(1 * kMillisecond);
        b.drv.Set(3, 0xC2);
    };
    {
        SimBench b(6, kAt29.name);
        b.chip->Fill(0x00);
        Sequence(b, kAt29, {0x90});
        b.Sleep(200 * kMicrosecond);
        ASSERT_EQ(Read(b, kAt29, 0), 0x1F);
        power_cycle(b);
        EXPECT_EQ(Read(b, kAt29, 0), 0x00) << "product-ID mode survived power loss";
    }
    {
        SimBench b(6, kAt29.name);
        b.chip->Fill(0x00);
        Write(b, kAt29, 0x0600, 0x56);
        b.Sleep(200 * kMicrosecond);  // the window closed: the cycle runs
        ASSERT_EQ(Read(b, kAt29, 0x0600) & 0x80, 0x80) << "polling";
        power_cycle(b);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(Read(b, kAt29, 0x0600), 0x00) << "the cycle needs power to its end";
        EXPECT_EQ(b.chip->At(0x0601), 0x00) << "nor was the page erased";
        Write(b, kAt29, 0x0600, 0x78);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x0600), 0x78) << "back in read mode, taking writes";
    }
    {
        SimBench b(6, kAt29.name);
        b.As<PageEeprom>().protection = true;
        Write(b, kAt29, 0x5555, 0xAA);
        Write(b, kAt29, 0x2AAA, 0x55);
        power_cycle(b);
        Write(b, kAt29, 0x5555, 0xA0);
        Write(b, kAt29, 0x5556, 0x12);
        b.Sleep(20 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x5556), 0xFF) << "a prefix cut by power loss does not unlock";
        EXPECT_EQ(b.board.counters().write_cycles, 1u) << "the protected write still runs its cycle";
        EXPECT_EQ(b.board.counters().writes_ignored[BoardCounters::kProtected], 2u);
    }
}

}  // namespace
}  // namespace moltrix::sim
