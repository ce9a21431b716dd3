// The board presence and model tests as raw port sequences, and the register
// latching protocol, against simulated ports.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "board_driver.h"
#include "sim/device_models.h"
#include "sim/simulated_ports.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::BoardDriver;

// Model-5/6 codes: register 3 gets 9Fh, then register 4 gets 00h and FFh;
// status bits 4-6 after each.
std::uint16_t TestA(platform::PortIo& io, std::uint16_t base) {
    const std::uint16_t status = base + 1, control = base + 2;
    io.PortOut(base, 0x9F);
    io.PortOut(control, 0x0E);
    io.PortOut(control, 0x00);
    io.PortOut(base, 0x00);
    io.PortOut(control, 0x06);
    std::uint16_t a = static_cast<std::uint16_t>((io.PortIn(status) & 0x70) << 8);
    io.PortOut(control, 0x00);
    io.PortOut(base, 0xFF);
    io.PortOut(control, 0x06);
    return static_cast<std::uint16_t>(a + (io.PortIn(status) & 0x70));
}

// The same with the model-4 codes.
std::uint16_t TestB(platform::PortIo& io, std::uint16_t base) {
    const std::uint16_t status = base + 1, control = base + 2;
    io.PortOut(control, 0x09);
    io.PortOut(base, 0xBF);
    io.PortOut(control, 0x01);
    io.PortOut(control, 0x09);
    io.PortOut(base, 0x00);
    io.PortOut(control, 0x0F);
    io.PortOut(control, 0x09);
    std::uint16_t b = static_cast<std::uint16_t>((io.PortIn(status) & 0x70) << 8);
    io.PortOut(base, 0xFF);
    io.PortOut(control, 0x0F);
    io.PortOut(control, 0x09);
    b = static_cast<std::uint16_t>(b + (io.PortIn(status) & 0x70));
    io.PortOut(control, 0x08);
    return b;
}

// Register 3 gets 60h then 40h (register 4 released, CE on, bit 5 set then
// clear); a byte is read after each with the model-5/6 nibble codes.
std::pair<std::uint8_t, std::uint8_t> TestC(platform::PortIo& io, std::uint16_t base) {
    const std::uint16_t status = base + 1, control = base + 2;
    auto read_byte = [&] {
        io.PortOut(control, 0x05);
        const std::uint8_t low = (io.PortIn(status) >> 3) & 0x0F;
        io.PortOut(control, 0x01);
        const std::uint8_t high = (io.PortIn(status) >> 3) & 0x0F;
        return static_cast<std::uint8_t>(low | (high << 4));
    };
    io.PortOut(base, 0x60);
    io.PortOut(control, 0x0E);
    io.PortOut(control, 0x00);
    const std::uint8_t first = read_byte();
    io.PortOut(base, 0x40);
    io.PortOut(control, 0x0E);
    io.PortOut(control, 0x00);
    return {first, read_byte()};
}

TEST(BoardPresence, EachModelAnswersItsOwnTestOnly) {
    struct Case {
        int model;
        std::uint16_t a, b;
    };
    for (const Case c : {Case{4, 0x7070, 0x0070}, Case{5, 0x0070, 0x7070}, Case{6, 0x0070, 0x7070}}) {
        SimulatedPorts ports;
        ports.AttachBoard(0x278, c.model);
        // Twice: the second run starts from the state the first one left.
        for (int run = 0; run < 2; ++run) {
            EXPECT_EQ(TestA(ports, 0x278), c.a) << "model " << c.model << " run " << run;
            EXPECT_EQ(TestB(ports, 0x278), c.b) << "model " << c.model << " run " << run;
        }
    }
}

TEST(BoardPresence, AbsentBoardAnswersNeitherAndReads7F) {
    SimulatedPorts ports;
    ports.AttachBoard(0x378, 6);
    for (std::uint16_t base : {std::uint16_t{0x278}, std::uint16_t{0x3BC}}) {
        EXPECT_EQ(ports.PortIn(base + 1), 0x7F);
        EXPECT_NE(TestA(ports, base), 0x0070);
        EXPECT_NE(TestB(ports, base), 0x0070);
    }
}

TEST(BoardPresence, ModelSixTellsItselfFromModelFive) {
    for (int model : {5, 6}) {
        SimulatedPorts ports;
        ports.AttachBoard(0x3BC, model);
        ASSERT_EQ(TestA(ports, 0x3BC), 0x0070);
        TestB(ports, 0x3BC);
        const auto [first, second] = TestC(ports, 0x3BC);
        if (model == 6) {
            EXPECT_EQ(first, 0xEF);
            EXPECT_EQ(second, 0xFF);
        } else {
            EXPECT_EQ(first, 0xFF);
            EXPECT_EQ(second, 0xFF);
        }
    }
}

TEST(BoardLatching, RegisterTakesTheDataOnTheTrailingEdge) {
    for (int model : {4, 5, 6}) {
        SimulatedPorts ports;
        Board& board = ports.AttachBoard(0x378, model);
        BoardDriver drv(ports, 0x378, model);
        const auto& codes = testing::CodesFor(model);
        for (int reg = 0; reg < 5; ++reg) {
            const std::uint8_t before = board.Register(reg);
            const auto latches_before = board.counters().latches[reg];
            const std::uint8_t value = static_cast<std::uint8_t>(0x11 * (reg + 1));
            ports.PortOut(0x378, value);
            ports.PortOut(0x37A, codes.idle[reg]);
            ports.PortOut(0x37A, codes.pulse[reg]);
            EXPECT_EQ(board.Register(reg), before) << "latched on the leading edge, reg " << reg;
            ports.PortOut(0x37A, codes.idle[reg]);
            EXPECT_EQ(board.Register(reg), value) << "model " << model << " reg " << reg;
            EXPECT_EQ(board.counters().latches[reg], latches_before + 1);
        }
        // A data change after the edge does not reach the register.
        ports.PortOut(0x378, 0x00);
        EXPECT_EQ(board.Register(4), 0x55);
    }
}

// The other model's codes are this model's codes inverted, so its idle codes
// decode as strobes and its pulse codes as idle. For registers 0-2 that
// selects no register at all; for registers 3 and 4 it selects the other of
// the two. Either way the addressed register never takes the value.
TEST(BoardLatching, OtherModelsCodesNeverReachTheAddressedRegister) {
    for (int model : {4, 5, 6}) {
        for (int reg = 0; reg < 5; ++reg) {
            SimulatedPorts ports;
            Board& board = ports.AttachBoard(0x378, model);
            BoardDriver wrong(ports, 0x378, model == 4 ? 5 : 4);
            ports.PortOut(0x37A, model == 4 ? 0x00 : 0x0F);  // this model's register-3 idle
            const auto before = board.counters().latches;
            const std::uint8_t value = static_cast<std::uint8_t>(0x30 + reg);
            wrong.Set(reg, value);
            EXPECT_NE(board.Register(reg), value) << "model " << model << " reg " << reg;
            if (reg <= 2) {
                EXPECT_EQ(board.counters().latches, before) << "model " << model << " reg " << reg;
            }
        }
    }
}

// A board plugged in while the port's control lines already hold a code
// decodes them as they are: attaching latches nothing, and leaving that code
// is the trailing edge of the register it selects.
TEST(BoardLatching, BoardAttachedLaterSeesTheControlLinesAsTheyAre) {
    for (int model : {4, 5, 6}) {
        SimulatedPorts ports;
        const auto& codes = testing::CodesFor(model);
        ports.PortOut(0x378, 0x12);
        ports.PortOut(0x37A, codes.pulse[2]);
        Board& board = ports.AttachBoard(0x378, model);
        for (int reg = 0; reg < 5; ++reg) EXPECT_EQ(board.Register(reg), 0xFF) << model << " " << reg;
        ports.PortOut(0x37A, codes.idle[2]);
        EXPECT_EQ(board.Register(2), 0x12) << "model " << model;
        EXPECT_EQ(board.Register(4), 0xFF) << "model " << model;
        EXPECT_EQ(board.counters().latches[2], 1u) << "model " << model;
    }
}

TEST(BoardChecks, RejectsAMissingRegisterAndAChipOfTheWrongSize) {
    SimulatedPorts ports;
    Board& board = ports.AttachBoard(0x378, 6);
    EXPECT_THROW(board.Register(5), std::invalid_argument);
    EXPECT_THROW(board.Register(-1), std::invalid_argument);
    EXPECT_THROW(board.Insert(MakeChip(*FindDeviceModel("27C256")), *FindSocketProfile("P5")),
                 std::invalid_argument);
    EXPECT_TRUE(board.socket().Empty());
    board.Insert(MakeChip(*FindDeviceModel("27C512")), *FindSocketProfile("P5"));
    EXPECT_FALSE(board.socket().Empty());
}

TEST(BoardReadBack, NibblesReachTheStatusLinesPerModel) {
    for (int model : {4, 5, 6}) {
        SimulatedPorts ports;
        ports.AttachBoard(0x378, model);
        BoardDriver drv(ports, 0x378, model);
        drv.Set(3, 0x80);  // register 4 drives the data lines, CE off
        for (int v : {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0xA5, 0x5A, 0xFF}) {
            drv.Set(4, static_cast<std::uint8_t>(v));
            EXPECT_EQ(drv.ReadByte(), v) << "model " << model;
        }
        // Model 4: D1 low shows as BUSY high, i.e. status bit 7 set.
        drv.Set(4, 0x00);
        ports.PortOut(0x37A, model == 4 ? 0x00 : 0x05);
        const std::uint8_t s = ports.PortIn(0x379);
        EXPECT_EQ(s, model == 4 ? 0x8F : 0x87);
    }
}

TEST(BoardReadBack, UndrivenBusReadsPullUpsAndModelSixPullsD4Low) {
    for (int model : {4, 5, 6}) {
        SimulatedPorts ports;
        ports.AttachBoard(0x378, model);
        BoardDriver drv(ports, 0x378, model);
        drv.Set(3, 0xC0);
        EXPECT_EQ(drv.ReadByte(), 0xFF);
        drv.Set(3, 0xE0);  // bit 5 set
        EXPECT_EQ(drv.ReadByte(), model == 6 ? 0xEF : 0xFF);
        drv.Set(3, 0xA0);  // bit 5 set but register 4 drives: D4 follows it
        drv.Set(4, 0x10);
        EXPECT_EQ(drv.ReadByte(), 0x10);
    }
}

// Register 4 and the chip are both push-pull: lines they drive alike read
// that level, lines they disagree on read random bits, and such reads count.
TEST(BoardReadBack, ContentionGivesRandomBitsOnlyWhereTheDriversDisagree) {
    testing::SimBench b(5, "27C256");
    b.chip->Memory()[0x0100] = 0x0F;
    b.drv.Set(0, 0x00);               // OE low
    b.drv.SetAddress(0x0100, 0x02);   // VCC on register-3 bit 1
    b.drv.Set(4, 0x3C);
    b.drv.Set(3, 0x02);               // CE low, register 4 drives: 3Ch against 0Fh
    const std::uint8_t agree = static_cast<std::uint8_t>(~(0x3C ^ 0x0F));
    std::uint8_t seen_0 = 0, seen_1 = 0;
    for (int i = 0; i < 64; ++i) {
        const std::uint8_t v = b.drv.ReadByte();
        EXPECT_EQ(v & agree, 0x0F & agree);
        seen_0 |= static_cast<std::uint8_t>(~v);
        seen_1 |= v;
    }
    EXPECT_EQ(seen_0 & seen_1 & 0xFF, static_cast<std::uint8_t>(~agree)) << "each clashing line reads both levels";
    EXPECT_EQ(b.board.counters().contention_reads, 128u) << "two status reads a byte";
    b.drv.Set(4, 0x0F);  // the same byte as the chip's: no clash
    EXPECT_EQ(b.drv.ReadByte(), 0x0F);
    b.drv.Set(3, 0x42);  // register 4 released
    EXPECT_EQ(b.drv.ReadByte(), 0x0F);
    EXPECT_EQ(b.board.counters().contention_reads, 128u);
    EXPECT_EQ(b.board.counters().contention_events, 1u);
}

}  // namespace
}  // namespace moltrix::sim
