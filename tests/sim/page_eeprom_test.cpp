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
    b.drv.Set(0, 0x00);
    const std::uint8_t v = b.drv.ReadByte();
    b.drv.Set(0, 0x40);
    b.drv.Set(3, 0xC2);
    return v;
}

void Sequence(SimBench& b, const Part& p, std::initializer_list<std::uint8_t> commands) {
    for (std::uint8_t c : commands) {
        Write(b, p, 0x5555, 0xAA);
        Write(b, p, 0x2AAA, 0x55);
        Write(b, p, 0x5555, c);
    }
}

TEST(PageEeprom, PageWriteEndsWithTheWindowAndPollsUntilDone) {
    for (const Part& p : {kAt29, kX28}) {
        SimBench b(6, p.name);
        const Nanos cycle = b.As<PageEeprom>().settings.write_cycle;
        const std::uint16_t page = 0x7FC0;  // last page, A14 set
        for (std::uint16_t i = 0; i < 64; ++i) b.chip->Memory()[page + i] = 0x00;
        for (std::uint16_t i = 0; i < 10; ++i) Write(b, p, page + i, static_cast<std::uint8_t>(0x80 + i));
        b.Sleep(200 * kMicrosecond);  // the window closes, the cycle runs
        const std::uint8_t a = Read(b, p, page + 9), c = Read(b, p, page + 9);
        EXPECT_EQ(a & 0x80, 0x00) << p.name << ": complement of 89h's bit 7";
        EXPECT_NE(a & 0x40, c & 0x40) << p.name << ": DQ6 toggles";
        b.Sleep(cycle);
        for (std::uint16_t i = 0; i < 10; ++i) EXPECT_EQ(Read(b, p, page + i), 0x80 + i) << p.name;
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
        // A plain write changes nothing now.
        Write(b, p, 0x0200, 0x34);
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

}  // namespace
}  // namespace moltrix::sim
