// UV EPROM models in the socket, driven through the board's registers.
#include <gtest/gtest.h>

#include "sim/eprom.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

constexpr std::uint8_t kCeOffReg4Off = 0xC0;  // register 3: CE high, register 4 released

// Address and power for a 27C256-like part: VCC on register-3 bit 1.
void PrepareP4(SimBench& b, std::uint16_t address, std::uint8_t reg0) {
    b.drv.Set(0, reg0);
    b.drv.Set(3, kCeOffReg4Off | 0x02);
    b.drv.SetAddress(address, 0x02);
}

// One CE-low pulse with `data` on the bus, OE high.
void CePulse(SimBench& b, std::uint8_t data) {
    b.drv.Set(4, data);
    b.drv.SetBits(3, 0x40, false);  // register 4 drives
    b.drv.SetBits(3, 0x80, false);  // CE low: pulse begins
    b.drv.SetBits(3, 0x80, true);   // CE high: pulse ends
    b.drv.SetBits(3, 0x40, true);
}

// OE goes low first and high last, so that CE low with OE high (a program
// pulse while the voltage is on) never happens.
std::uint8_t ReadP4(SimBench& b) {
    b.drv.SetBits(0, 0x40, false);
    b.drv.SetBits(3, 0x80, false);
    const std::uint8_t v = b.drv.ReadByte();
    b.drv.SetBits(3, 0x80, true);
    b.drv.SetBits(0, 0x40, true);
    return v;
}

TEST(Eprom, ReadsOnlyWithPowerCeAndOeAndNoVoltageOnOe) {
    SimBench b(5, "27C512");  // P5: programming voltage rides on the OE pin
    b.chip->Memory()[0x1234] = 0x5A;
    b.drv.Set(0, 0x40);
    b.drv.Set(3, 0x40 | 0x02);  // CE low, register 4 released, VCC on
    b.drv.SetAddress(0x1234, 0x02);
    EXPECT_EQ(b.drv.ReadByte(), 0xFF) << "OE high";
    b.drv.Set(0, 0x00);
    EXPECT_EQ(b.drv.ReadByte(), 0x5A);
    b.drv.Set(0, 0x80);  // voltage routed to the OE pin
    EXPECT_EQ(b.drv.ReadByte(), 0xFF) << "programming voltage on OE";
    b.drv.Set(0, 0x00);
    b.drv.SetBits(3, 0x80, true);
    EXPECT_EQ(b.drv.ReadByte(), 0xFF) << "CE high";
    b.drv.SetBits(3, 0x80, false);
    b.drv.SetBits(3, 0x02, false);
    EXPECT_EQ(b.drv.ReadByte(), 0xFF) << "no VCC";
    b.drv.SetBits(3, 0x02, true);
    EXPECT_EQ(b.drv.ReadByte(), 0x5A);
    EXPECT_EQ(b.chip->At(0x1234), 0x5A) << "reading never changes the chip";
}

TEST(Eprom, PulseWithoutProgrammingVoltageDoesNothing) {
    // Model 4 makes the voltage only while register-0 bit 2 is 1.
    SimBench b(4, "27C256");
    b.As<Eprom>().SetPulsesNeeded(0x0100, 1);
    PrepareP4(b, 0x0100, 0x50);  // routed (bit 4) but not generated
    CePulse(b, 0x00);
    EXPECT_EQ(b.chip->At(0x0100), 0xFF);
    EXPECT_EQ(b.board.counters().pulses_without_vpp, 1u);
    EXPECT_TRUE(b.board.counters().pulses.empty());
    PrepareP4(b, 0x0100, 0x54);  // generated and routed
    CePulse(b, 0x00);
    EXPECT_EQ(b.chip->At(0x0100), 0x00);
    EXPECT_EQ(b.board.counters().pulses.at(0x0100).count, 1u);
}

TEST(Eprom, PulsesOnlyClearBitsAndRecordTheVoltage) {
    SimBench b(5, "27C256");
    b.As<Eprom>().SetPulsesNeeded(0x7FFF, 1);
    b.chip->Memory()[0x7FFF] = 0x0F;
    PrepareP4(b, 0x7FFF, 0x5A);  // 21 V selected by bits 0-1 = 10
    CePulse(b, 0xF0);
    EXPECT_EQ(b.chip->At(0x7FFF), 0x00);
    CePulse(b, 0xFF);
    EXPECT_EQ(b.chip->At(0x7FFF), 0x00) << "a pulse never sets bits";
    EXPECT_EQ(b.board.counters().pulses.at(0x7FFF).count, 2u);
    EXPECT_EQ(b.board.counters().pulses.at(0x7FFF).last_vpp_tenths, 210);
}

TEST(Eprom, CellProgramsAfterItsDrawnPulsesAndStuckCellNever) {
    SimBench b(5, "27C256");
    auto& eprom = b.As<Eprom>();
    eprom.SetPulsesNeeded(0x0042, 5);
    eprom.dead_cells.insert(0x0043);
    PrepareP4(b, 0x0042, 0x58);
    for (int i = 1; i <= 4; ++i) CePulse(b, 0x3C);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF) << "after 4 of 5 pulses";
    CePulse(b, 0x3C);
    EXPECT_EQ(b.chip->At(0x0042), 0x3C);
    // Program-verify: CE high, OE low, voltage on.
    b.drv.SetBits(0, 0x40, false);
    EXPECT_EQ(b.drv.ReadByte(), 0x3C);
    b.drv.SetBits(0, 0x40, true);

    PrepareP4(b, 0x0043, 0x58);
    for (int i = 0; i < 300; ++i) CePulse(b, 0x00);
    EXPECT_EQ(ReadP4(b), 0xFF);
    EXPECT_EQ(b.board.counters().pulses.at(0x0043).count, 300u);
}

TEST(Eprom, PulsesCountTowardsTheDataTheyCarryOnly) {
    SimBench b(5, "27C256");
    auto& eprom = b.As<Eprom>();
    eprom.SetPulsesNeeded(0x0042, 3);
    PrepareP4(b, 0x0042, 0x58);
    CePulse(b, 0xFF);
    CePulse(b, 0xFF);
    CePulse(b, 0x00);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF) << "pulses with FFh bring 00h no closer";
    CePulse(b, 0x00);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF);
    CePulse(b, 0x00);
    EXPECT_EQ(b.chip->At(0x0042), 0x00);

    eprom.SetPulsesNeeded(0x0043, 2);
    PrepareP4(b, 0x0043, 0x58);
    CePulse(b, 0xF0);
    CePulse(b, 0x0F);
    EXPECT_EQ(b.chip->At(0x0043), 0xFF) << "a change of data starts the count again";
    CePulse(b, 0x0F);
    EXPECT_EQ(b.chip->At(0x0043), 0x0F);
    CePulse(b, 0xF0);
    CePulse(b, 0xF0);
    EXPECT_EQ(b.chip->At(0x0043), 0x00);
}

TEST(Eprom, DrawnPulseCountsAreMostlySmallWithARareLongTail) {
    const SocketProfile& p9 = *FindSocketProfile("P9");
    Eprom a("27C080", p9, 7), same("27C080", p9, 7), other("27C080", p9, 8);
    int small = 0, long_tail = 0, differs = 0;
    for (std::uint32_t address = 0; address < p9.size; ++address) {
        const int n = a.PulsesNeeded(address);
        ASSERT_TRUE((n >= 1 && n <= 3) || (n >= 60 && n <= 120)) << n;
        (n <= 3 ? small : long_tail)++;
        ASSERT_EQ(n, same.PulsesNeeded(address));
        differs += n != other.PulsesNeeded(address);
    }
    EXPECT_GT(long_tail, 300);  // about one in 2,000 of 1 Mi cells
    EXPECT_LT(long_tail, 800);
    EXPECT_GT(differs, 100000) << "the seed decides";
}

TEST(Eprom, PgmPulsedPartsProgramOnTheirPgmLine) {
    struct Case {
        const char* part;
        std::uint8_t reg0;   // voltage routed
        int pgm_reg, pgm_bit;
        std::uint8_t reg1_high, reg1_address_bits, reg3_low;  // held-high lines, address
        std::uint32_t address;
    };
    const Case cases[] = {
        {"2764", 0x50, 1, 6, 0xC0, 0x1F, 0x02, 0x1ABC},
        {"27C010", 0x60, 3, 2, 0x00, 0xFF, 0x0D, 0x1ABCD},  // A16 = reg3 b0; PGM b2, VPP pin b3 high
    };
    for (const Case& c : cases) {
        SimBench b(6, c.part);
        b.As<Eprom>().SetPulsesNeeded(c.address, 1);
        b.drv.Set(0, c.reg0);
        b.drv.Set(3, 0x40 | c.reg3_low);  // CE low throughout, register 4 driving after
        b.drv.Set(1, static_cast<std::uint8_t>(c.reg1_high | ((c.address >> 8) & c.reg1_address_bits)));
        b.drv.Set(2, c.address & 0xFF);
        b.drv.Set(4, 0xA5);
        b.drv.SetBits(3, 0x40, false);
        b.drv.SetBits(c.pgm_reg, static_cast<std::uint8_t>(1 << c.pgm_bit), false);
        b.drv.SetBits(c.pgm_reg, static_cast<std::uint8_t>(1 << c.pgm_bit), true);
        EXPECT_EQ(b.chip->At(c.address), 0xA5) << c.part;
        // A CE pulse does not program these parts.
        b.drv.Set(4, 0x00);
        b.drv.SetBits(3, 0x80, true);
        b.drv.SetBits(3, 0x80, false);
        EXPECT_EQ(b.chip->At(c.address), 0xA5) << c.part;
        b.drv.SetBits(3, 0x40, true);
        b.drv.SetBits(0, 0x40, false);
        EXPECT_EQ(b.drv.ReadByte(), 0xA5) << c.part;
        EXPECT_EQ(b.board.counters().contention_events, 0u) << c.part;
    }
}

TEST(Eprom, ChipDrivingAgainstRegisterFourCountsAsContention) {
    SimBench b(5, "27C256");
    b.chip->Memory()[0] = 0x0F;
    PrepareP4(b, 0, 0x00);  // OE low
    b.drv.Set(4, 0xF0);
    b.drv.SetBits(3, 0x40, false);  // register 4 drives
    EXPECT_EQ(b.board.counters().contention_events, 0u);
    b.drv.SetBits(3, 0x80, false);  // CE low: the chip drives too
    EXPECT_EQ(b.board.counters().contention_events, 1u);
    b.drv.SetBits(3, 0x80, true);
    b.drv.SetBits(3, 0x80, false);
    EXPECT_EQ(b.board.counters().contention_events, 2u);
}

TEST(Eprom, StuckDataLinesShowInEveryRead) {
    SimBench b(6, "27C256");
    b.chip->Memory()[0x10] = 0x5A;
    b.chip->stuck_at_0 = 0x02;
    b.chip->stuck_at_1 = 0x80;
    PrepareP4(b, 0x10, 0x40);
    EXPECT_EQ(ReadP4(b), 0xD8);
    EXPECT_EQ(b.chip->At(0x10), 0x5A) << "the cell itself is intact";
}

TEST(Eprom, UvEraseClearsEverything) {
    SimBench b(5, "27C256");
    b.chip->Fill(0x00);
    b.As<Eprom>().Erase();
    for (std::uint32_t a = 0; a < b.chip->Size(); a += 997) EXPECT_EQ(b.chip->At(a), 0xFF);
}

}  // namespace
}  // namespace moltrix::sim
