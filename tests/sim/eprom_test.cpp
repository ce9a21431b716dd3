// UV EPROM models in the socket, driven through the board's registers.
#include <gtest/gtest.h>

#include <vector>

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

// A register write takes four port accesses, 1 us each by default; the
// register latches on the last.
constexpr Nanos kRegisterWrite = 4 * kMicrosecond;

// One CE-low pulse of `width` with `data` on the bus, OE high.
void CePulse(SimBench& b, std::uint8_t data, Nanos width) {
    b.drv.Set(4, data);
    b.drv.SetBits(3, 0x40, false);  // register 4 drives
    b.drv.SetBits(3, 0x80, false);  // CE low: pulse begins
    b.Sleep(width - kRegisterWrite);
    b.drv.SetBits(3, 0x80, true);   // CE high: pulse ends
    b.drv.SetBits(3, 0x40, true);
}

TEST(Eprom, NoProgrammingVoltageNoPulseAndModelFourMakesItsOwnLevel) {
    // Model 4 makes the voltage only while register-0 bit 2 is 1.
    SimBench b(4, "27C256");
    b.As<Eprom>().SetNeed(0x0100, 100 * kMicrosecond);
    PrepareP4(b, 0x0100, 0x50);  // routed (bit 4) but not generated
    CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0100), 0xFF);
    EXPECT_EQ(b.board.counters().pulses.total, 0u);
    EXPECT_TRUE(b.board.counters().pulses.count.Empty());
    PrepareP4(b, 0x0100, 0x54);  // generated and routed: 12.5 V, the model-4 default
    CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0100), 0x00);
    EXPECT_EQ(b.board.counters().pulses.count[0x0100], 1u);
    EXPECT_EQ(b.board.counters().pulses.last_vpp_tenths[0x0100], 125);
}

// How each part takes a pulse on the board: where its programming voltage is
// routed, its PGM line if it has one, and the lines its power needs.
struct Wiring {
    const char* part;
    std::uint8_t route;      // register-0 bit routing the voltage
    int pgm_reg;             // -1: programmed by a CE pulse
    std::uint8_t pgm_mask;
    std::uint8_t reg1, reg3; // held-high and power lines
};
constexpr Wiring kP1{"", 0x80, -1, 0, 0x20, 0x00};    // VPP on OE; VCC reg1 b5
constexpr Wiring kP2{"", 0x10, 1, 0x40, 0xC0, 0x02};  // PGM reg1 b6; VCC reg3 b1
constexpr Wiring kP4{"", 0x10, -1, 0, 0x00, 0x02};
constexpr Wiring kP9{"", 0x80, -1, 0, 0x00, 0x00};    // VPP on OE; socket VCC

// `count` pulses of `width` with 00h to address 0123h, at `volts` (tenths):
// the level select of models 5 and 6, the board's own level on model 4.
void PulseTrain(SimBench& b, int model, const Wiring& w, std::uint16_t volts, Nanos width, int count) {
    std::uint8_t reg0 = static_cast<std::uint8_t>(0x40 | w.route);
    if (model == 4) {
        b.board.model4_vpp_tenths = volts;
        reg0 |= 0x04;
    } else {
        reg0 |= volts == 250 ? 0x03 : volts == 210 ? 0x02 : 0x00;
    }
    b.drv.Set(0, reg0);
    b.drv.Set(1, static_cast<std::uint8_t>(w.reg1 | 0x01));
    b.drv.Set(2, 0x23);
    b.drv.Set(4, 0x00);
    const bool pgm = w.pgm_reg >= 0;
    b.drv.Set(3, static_cast<std::uint8_t>(w.reg3 | (pgm ? 0x00 : 0x80)));  // register 4 drives
    const std::uint8_t rest = pgm ? (w.pgm_reg == 1 ? b.board.Register(1) : b.board.Register(3)) : 0;
    for (int i = 0; i < count; ++i) {
        if (pgm) b.drv.Set(w.pgm_reg, static_cast<std::uint8_t>(rest & ~w.pgm_mask));
        else b.drv.Set(3, w.reg3);
        b.Sleep(width - kRegisterWrite);
        if (pgm) b.drv.Set(w.pgm_reg, rest);
        else b.drv.Set(3, static_cast<std::uint8_t>(w.reg3 | 0x80));
    }
    b.drv.Set(3, static_cast<std::uint8_t>(w.reg3 | 0xC0));
}

// Pulse trains against the voltage groups' ratings and needs: a train adding
// up to the datasheet maximum programs any cell, one short of a quarter of
// the typical (half the cells' own typical) programs none; under the rating nothing moves, over it the chip is
// damaged.
TEST(Eprom, PulseTrainsProgramAsTheirGroupsRatingAndNeedSay) {
    enum Expect { kPrograms, kStays, kUnder, kDamages };
    struct Case {
        const char* part;
        Wiring wiring;
        int model;
        std::uint16_t volts;
        Nanos width;
        int count;
        Expect expect;
    };
    constexpr Nanos us = kMicrosecond, ms = kMillisecond;
    const Case cases[] = {
        {"27C256", kP4, 5, 125, 100 * us, 25, kPrograms},  // 12.5-13 V: 100 us typical, 2.5 ms max
        {"27C256", kP4, 6, 125, 12 * us, 2, kStays},
        {"27C256", kP4, 5, 210, 100 * us, 1, kDamages},
        {"27C256", kP4, 4, 125, 100 * us, 25, kPrograms},
        {"27C256", kP4, 4, 250, 100 * us, 1, kDamages},
        {"27C080", kP9, 6, 125, 50 * us, 25, kPrograms},   // 50 us typical, 1.25 ms max
        {"27C080", kP9, 6, 125, 6 * us, 2, kStays},
        {"2732B", kP1, 5, 125, 100 * us, 25, kPrograms},
        {"2732B", kP1, 5, 210, 100 * us, 1, kDamages},
        {"2764", kP2, 6, 210, 1 * ms, 15, kPrograms},      // 21 V: 1 ms typical, 15 ms max
        {"2764", kP2, 6, 210, 120 * us, 2, kStays},
        {"2764", kP2, 6, 125, 1 * ms, 15, kUnder},
        {"2764", kP2, 6, 250, 1 * ms, 1, kDamages},
        {"2732A", kP1, 5, 210, 1 * ms, 15, kPrograms},
        {"2732A", kP1, 5, 250, 1 * ms, 1, kDamages},
        {"2732", kP1, 5, 250, 55 * ms, 1, kPrograms},      // 25 V: 20 ms typical, 55 ms max
        {"2732", kP1, 5, 250, 4 * ms, 1, kStays},
        {"2732", kP1, 5, 210, 50 * ms, 2, kUnder},
        {"27C32", kP1, 4, 125, 50 * ms, 2, kUnder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + " model " + std::to_string(c.model) + " at " +
                     std::to_string(c.volts) + " tenths");
        for (std::uint64_t seed : {1u, 2u, 3u}) {  // other cells, the same table
            SimBench b(c.model, c.part, seed);
            PulseTrain(b, c.model, c.wiring, c.volts, c.width, c.count);
            const BoardCounters& n = b.board.counters();
            EXPECT_EQ(b.chip->At(0x0123), c.expect == kPrograms ? 0x00 : 0xFF);
            EXPECT_EQ(b.As<Eprom>().Damaged(), c.expect == kDamages);
            EXPECT_EQ(n.pulses.over_voltage, c.expect == kDamages ? std::uint64_t(c.count) : 0u);
            EXPECT_EQ(n.pulses.under_voltage, c.expect == kUnder ? std::uint64_t(c.count) : 0u);
            EXPECT_EQ(n.pulses.count[0x0123], std::uint32_t(c.count));
            EXPECT_EQ(n.pulses.width[0x0123], c.width * std::uint64_t(c.count));
            EXPECT_EQ(n.pulses.last_vpp_tenths[0x0123], c.volts);
        }
    }
}

TEST(Eprom, DamagedChipReadsUnreliableData) {
    SimBench b(5, "27C256");
    b.chip->Memory()[0x0123] = 0x5A;
    PulseTrain(b, 5, kP4, 250, 100 * kMicrosecond, 1);
    ASSERT_TRUE(b.As<Eprom>().Damaged());
    b.drv.Set(0, 0x40);
    b.drv.SetAddress(0x0123, 0x02);
    int differ = 0;
    for (int i = 0; i < 16; ++i) differ += ReadP4(b) != 0x5A;
    EXPECT_GT(differ, 8);
}

// 400 read cycles of cell 0123h, which holds 20h with bits 1 and 6 (0s) and 5
// (a 1) weak, CE low throughout. Cycles come in pairs: the first starts with
// OE going low, the second with the address coming back from cell 0124h
// (00h) while OE stays low. Each cycle reads the byte twice with a register
// latched in between, as the board does when a reader polls the bus.
struct WeakReads {
    std::vector<std::uint8_t> bytes;
    int unsteady = 0;         // cycles whose two reads differ
    int neighbour_wrong = 0;  // reads of 0124h other than 00h
};
WeakReads ReadWeakCell(std::uint64_t seed) {
    SimBench b(5, "27C256", seed);
    b.chip->Memory()[0x0123] = 0x20;
    b.chip->Memory()[0x0124] = 0x00;
    for (int bit : {1, 5, 6}) b.As<Eprom>().SetWeak(0x0123, bit);
    PrepareP4(b, 0x0123, 0x40);
    b.drv.SetBits(3, 0x80, false);
    WeakReads r;
    const auto cycle = [&] {
        const std::uint8_t v = b.drv.ReadByte();
        b.drv.Set(4, 0x00);  // register 4 latches (released): the chip sees an update
        r.unsteady += b.drv.ReadByte() != v;
        r.bytes.push_back(v);
    };
    for (int i = 0; i < 200; ++i) {
        b.drv.SetBits(0, 0x40, false);
        cycle();
        b.drv.SetAddress(0x0124, 0x02);
        r.neighbour_wrong += b.drv.ReadByte() != 0x00;
        b.drv.SetAddress(0x0123, 0x02);
        cycle();
        b.drv.SetBits(0, 0x40, true);
    }
    return r;
}

TEST(Eprom, WeakBitReadsOneAboutOneReadCycleInFourHeldThroughTheCycle) {
    const WeakReads r = ReadWeakCell(7);
    ASSERT_EQ(r.bytes.size(), 400u);
    int ones[8] = {};
    int pairs_differ = 0;
    for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) ones[bit] += r.bytes[i] >> bit & 1;
        if (i % 2 == 1) pairs_differ += r.bytes[i] != r.bytes[i - 1];
    }
    for (int bit : {1, 6}) {
        EXPECT_GE(ones[bit], 60) << "bit " << bit;  // 15% to 35% of 400
        EXPECT_LE(ones[bit], 140) << "bit " << bit;
    }
    EXPECT_EQ(ones[5], 400) << "a weak bit that is erased never reads 0";
    for (int bit : {0, 2, 3, 4, 7}) EXPECT_EQ(ones[bit], 0) << "bit " << bit;
    EXPECT_EQ(r.unsteady, 0) << "one draw per read cycle";
    EXPECT_GT(pairs_differ, 50) << "a change of address starts a new read cycle";
    EXPECT_EQ(r.neighbour_wrong, 0);
    EXPECT_EQ(ReadWeakCell(7).bytes, r.bytes) << "the seed decides";
    EXPECT_NE(ReadWeakCell(8).bytes, r.bytes);
}

TEST(Eprom, ProgrammingTheBitAsZeroHealsAWeakBitAndVerifyReadsCount) {
    SimBench b(5, "27C256");
    auto& eprom = b.As<Eprom>();
    b.chip->Memory()[0x0042] = 0x00;
    eprom.SetWeak(0x0042, 2);
    eprom.SetNeed(0x0042, 100 * kMicrosecond);
    PrepareP4(b, 0x0042, 0x58);
    // Program-verify reads (CE high, OE low, voltage on): bit 2 among them.
    const auto verify_ones = [&] {
        int ones = 0;
        for (int i = 0; i < 100; ++i) {
            b.drv.SetBits(0, 0x40, false);
            const std::uint8_t v = b.drv.ReadByte();
            b.drv.SetBits(0, 0x40, true);
            EXPECT_EQ(v & ~0x04, 0x00);
            ones += v == 0x04;
        }
        return ones;
    };
    CePulse(b, 0x04, 100 * kMicrosecond);  // the cell takes data with bit 2 at 1: still weak
    EXPECT_TRUE(eprom.Weak(0x0042, 2));
    EXPECT_GT(verify_ones(), 0);
    CePulse(b, 0xFB, 100 * kMicrosecond);
    EXPECT_FALSE(eprom.Weak(0x0042, 2));
    EXPECT_EQ(verify_ones(), 0);

    eprom.SetWeak(0x0042, 3);
    eprom.Erase();
    EXPECT_FALSE(eprom.Weak(0x0042, 3)) << "UV light forgets weak bits";
}

TEST(Eprom, PulsesOnlyClearBitsAndAddUpAcrossPulses) {
    SimBench b(5, "27C256");
    auto& eprom = b.As<Eprom>();
    eprom.SetNeed(0x0042, 500 * kMicrosecond);
    eprom.SetNeed(0x7FFF, 100 * kMicrosecond);
    b.chip->Memory()[0x7FFF] = 0x0F;
    PrepareP4(b, 0x7FFF, 0x58);
    CePulse(b, 0xF0, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x7FFF), 0x00);
    CePulse(b, 0xFF, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x7FFF), 0x00) << "a pulse never sets bits";

    eprom.SetDead(0x0043);
    PrepareP4(b, 0x0042, 0x58);
    for (int i = 1; i <= 4; ++i) CePulse(b, 0x3C, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF) << "400 of 500 us";
    CePulse(b, 0x3C, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0042), 0x3C);
    // Program-verify: CE high, OE low, voltage on.
    b.drv.SetBits(0, 0x40, false);
    EXPECT_EQ(b.drv.ReadByte(), 0x3C);
    b.drv.SetBits(0, 0x40, true);

    PrepareP4(b, 0x0043, 0x58);
    for (int i = 0; i < 300; ++i) CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(ReadP4(b), 0xFF) << "a dead cell never programs";
    EXPECT_EQ(b.board.counters().pulses.count[0x0043], 300u);
    EXPECT_EQ(b.board.counters().pulses.width[0x0043], 300 * 100 * kMicrosecond);
}

TEST(Eprom, ChargeCountsTowardsTheDataItCarriesOnly) {
    SimBench b(5, "27C256");
    auto& eprom = b.As<Eprom>();
    eprom.SetNeed(0x0042, 300 * kMicrosecond);
    PrepareP4(b, 0x0042, 0x58);
    CePulse(b, 0xFF, 100 * kMicrosecond);
    CePulse(b, 0xFF, 100 * kMicrosecond);
    CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF) << "charge with FFh brings 00h no closer";
    CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0042), 0xFF);
    CePulse(b, 0x00, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0042), 0x00);

    eprom.SetNeed(0x0043, 200 * kMicrosecond);
    PrepareP4(b, 0x0043, 0x58);
    CePulse(b, 0xF0, 100 * kMicrosecond);
    CePulse(b, 0x0F, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0043), 0xFF) << "a change of data starts the sum again";
    CePulse(b, 0x0F, 100 * kMicrosecond);
    EXPECT_EQ(b.chip->At(0x0043), 0x0F);
    CePulse(b, 0xF0, 200 * kMicrosecond);  // one long pulse does what two short ones do
    EXPECT_EQ(b.chip->At(0x0043), 0x00);
}

TEST(Eprom, DrawnNeedsSpreadAroundTheTypicalWithARareSlowTailUnderTheMaximum) {
    const SocketProfile& p9 = *FindSocketProfile("P9");
    const EpromSettings fast{kEprom12VFast, false};
    Eprom a("27C080", p9, fast, 7), same("27C080", p9, fast, 7), other("27C080", p9, fast, 8);
    const Nanos typical = kEprom12VFast.typical_need / 2;  // a cell's: one pulse programs nearly every byte
    int slow = 0, below_typical = 0, differs = 0;
    for (std::uint32_t address = 0; address < p9.size; ++address) {
        const Nanos n = a.Need(address);
        ASSERT_TRUE((n >= typical / 2 && n <= 2 * typical) || (n >= 5 * typical && n <= 10 * typical)) << n;
        slow += n >= 5 * typical;
        below_typical += n < typical;
        ASSERT_EQ(n, same.Need(address));
        differs += n != other.Need(address);
    }
    EXPECT_GT(slow, 300);  // about one in 2,000 of 1 Mi cells
    EXPECT_LT(slow, 800);
    EXPECT_NEAR(below_typical, 1 << 19, 1 << 13) << "the typical is the median";
    EXPECT_GT(differs, 100000) << "the seed decides";

    // 25 V group: 10 times 20 ms would pass the 55 ms maximum; the slow cells stop there.
    const SocketProfile& p1 = *FindSocketProfile("P1");
    int at_max = 0;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        Eprom nmos("2732", p1, {kEprom25V, false}, seed);
        for (std::uint32_t address = 0; address < p1.size; ++address) {
            ASSERT_LE(nmos.Need(address), kEprom25V.max_need);
            at_max += nmos.Need(address) == kEprom25V.max_need;
        }
    }
    EXPECT_GT(at_max, 10);
    Eprom hard("2732", p1, {kEprom25V, true}, 1);
    EXPECT_EQ(hard.Need(0), kEprom25V.max_need);
    EXPECT_EQ(hard.Need(4095), kEprom25V.max_need);
}

TEST(Eprom, PgmPulsedPartsProgramOnTheirPgmLine) {
    struct Case {
        const char* part;
        std::uint8_t reg0;   // voltage routed, level selected
        int pgm_reg, pgm_bit;
        std::uint8_t reg1_high, reg1_address_bits, reg3_low;  // held-high lines, address
        std::uint32_t address;
    };
    const Case cases[] = {
        {"2764", 0x52, 1, 6, 0xC0, 0x1F, 0x02, 0x1ABC},     // 21 V
        {"27C010", 0x60, 3, 2, 0x00, 0xFF, 0x0D, 0x1ABCD},  // A16 = reg3 b0; PGM b2, VPP pin b3 high
    };
    for (const Case& c : cases) {
        SimBench b(6, c.part);
        b.As<Eprom>().SetNeed(c.address, 1);
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
