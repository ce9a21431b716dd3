// The 24C08, 24C16 and 24C32 on simulated chips: what the chip holds and what
// it saw on its two wires are the truth, not the program's buffers.
#include <set>

#include "programming/chip_corners.h"
#include "sim/serial_eeprom.h"

namespace moltrix::testing {
namespace {

struct SerialPart {
    const char* name;
    std::size_t bytes;
    std::uint32_t page;
    std::set<int> deviceBytes;  // the device bytes of the write routine
};
const SerialPart kSerialParts[] = {
    {"24C08", 1024, 16, {0xA0, 0xA2, 0xA4, 0xA6}},
    {"24C16", 2048, 16, {0xA0, 0xA2, 0xA4, 0xA6, 0xA8, 0xAA, 0xAC, 0xAE}},
    {"24C32", 4096, 32, {0xA0}},
};

sim::SerialEeprom& SerialChip(OpBench& bench) { return *static_cast<sim::SerialEeprom*>(bench.board.chip()); }

std::set<int> DeviceBytesSeen(const sim::BoardCounters& seen) {
    std::set<int> bytes;
    for (int b = 0; b < 256; ++b)
        if (seen.serial.device_bytes[static_cast<std::size_t>(b)] != 0) bytes.insert(b);
    return bytes;
}

const char* const kNoAckLines[] = {"**************************************************",
                                   "Device 24CXX DOES NOT RESPOND - ACK Error",
                                   "Check Chip Installation Position on Socket"};

// The three board models read the data line back through different status
// lines and nibble-select codes.
constexpr int kBoardModels[] = {4, 5, 6};

TEST(SerialEeprom, ProgramReadVerifyAndEraseOnEachModelAtEachCorner) {
    for (const SerialPart& part : kSerialParts) {
        for (const int model : kBoardModels) {
            for (const ChipCorner& corner : kChipCorners) {
                SCOPED_TRACE(std::string(part.name) + ", MOLTRIX-" + std::to_string(model) + ", " + corner.name);
                ChipBench bench(part.name, corner, model);
                auto& p = bench.p();
                const auto& seen = bench.board.counters();
                p.form.CheckBlankPriorProgramming.SetValue(1);
                p.program.Program_button_Click();
                EXPECT_TRUE(bench.ChipHoldsBuffer(part.bytes));
                EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
                EXPECT_EQ(bench.rig.dialogs.shown.size(), 1u) << "the safety question only: no blank check";
                EXPECT_EQ(DeviceBytesSeen(seen), part.deviceBytes);
                const auto pages = part.bytes / part.page;
                EXPECT_EQ(seen.write_cycles, pages);
                // Every page is followed by polls the busy chip leaves unanswered,
                // then one it takes.
                EXPECT_GE(seen.serial.busy_nacks, pages);
                EXPECT_EQ(seen.serial.starts, pages + seen.serial.busy_nacks + pages);
                EXPECT_EQ(seen.serial.stops, pages);
                EXPECT_EQ(seen.serial.stops_lost, 0u);
                EXPECT_EQ(bench.highestProgress, static_cast<double>(pages));
                EXPECT_EQ(p.regs.Reg3 & 0x80, 0) << "clock low";
                EXPECT_EQ(p.regs.Reg0 & 0x40, 0) << "OE active";

                const auto image = p.buffers.CodeBuffer;
                std::fill_n(p.buffers.CodeBuffer.begin(), part.bytes, std::uint8_t{0});
                p.form.Read_button.Click();
                EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().end(), p.buffers.CodeBuffer.begin()));
                EXPECT_TRUE(bench.Logged(std::to_string(part.bytes) + " bytes Read from Device"));

                p.form.Verify_button.Click();
                EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
                EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);

                const auto logged = bench.rig.LogMessages().size();
                const auto lostBefore = seen.serial.stops_lost;
                p.form.EraseFlash_button.Click();
                const auto lines = bench.LogFrom(logged);
                ASSERT_GE(lines.size(), 2u);
                EXPECT_EQ(lines[0], part.page == 32 ? "Erasing Device 24C32" : "Erasing Device 24CXX");
                EXPECT_EQ(lines[1], "Program Buffer will not be erased");
                // The 24C16 goes through the 16-byte routine, then the 32-byte one.
                EXPECT_EQ(std::count(lines.begin(), lines.end(), "Erasing Device 24C32"),
                          std::string(part.name) == "24C08" ? 0 : 1);
                EXPECT_EQ(lines.back(), "Programming Device Successfull");
                EXPECT_TRUE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
                EXPECT_TRUE(std::equal(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(part.bytes),
                                       p.buffers.CodeBuffer.begin()))
                    << "the buffer is not erased";
                EXPECT_EQ(seen.serial.stops_lost, lostBefore);
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

// No acknowledge: the first wait gives up after 200 samples 1 ms apart, before
// any data is sent. A chip that stops answering halfway keeps what it took.
TEST(SerialEeprom, NoAcknowledge) {
    ChipBench bench("24C08", kChipCorners[0]);
    auto& p = bench.p();
    const auto before = bench.Chip();
    SerialChip(bench).settings.never_ack = true;
    const auto slept = bench.clock.TotalSleptMs();
    const auto logged = bench.rig.LogMessages().size();
    p.program.Program_button_Click();
    EXPECT_EQ(bench.clock.TotalSleptMs() - slept, 500 + 50 + 200);
    EXPECT_EQ(p.serialBus.AckError, 200);
    const auto lines = bench.LogFrom(logged);
    ASSERT_EQ(lines.size(), 5u) << "pressed, the three lines, the alert turned off; no success";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i) + 1], kNoAckLines[i]);
    EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Program or Compare Error");
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
    const auto& seen = bench.board.counters();
    EXPECT_EQ(seen.serial.device_bytes[0xA0], 1u);
    EXPECT_EQ(seen.serial.acks, 0u);
    EXPECT_EQ(seen.write_cycles, 0u);
    EXPECT_EQ(bench.Chip(), before);

    for (auto* command : {&p.form.Read_button, &p.form.EraseFlash_button}) {
        p.outcome.Begin();
        command->Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck) << command->caption;
    }
    EXPECT_EQ(p.program.ProgramFailed, 1) << "set by the erase";
    EXPECT_EQ(bench.Chip(), before);

    // Answers for the first 32 of 64 pages, then nothing.
    SerialChip(bench).settings.never_ack = false;
    bench.rig.refresh.onRefresh = [&] {
        if (p.form.ProgressBar1.value == 32) SerialChip(bench).settings.never_ack = true;
    };
    p.program.Program_button_Click();
    EXPECT_FALSE(bench.Logged("Programming Device Successfull"));
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
    EXPECT_TRUE(bench.ChipHoldsBuffer(512));
    EXPECT_TRUE(std::equal(before.begin() + 512, before.end(), bench.Chip().begin() + 512));
}

// A 24C16 that does not answer in the erase's 16-byte routine but does again
// by the 32-byte one is not written over by it and reported erased.
TEST(SerialEeprom, EraseStopsAfterTheFirstRoutineFails) {
    ChipBench bench("24C16", kChipCorners[0]);
    auto& p = bench.p();
    p.erase.write24Cxx = [&] {
        SerialChip(bench).settings.never_ack = true;
        p.serial.Write24Cxx();
        SerialChip(bench).settings.never_ack = false;
    };
    p.form.EraseFlash_button.Click();
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
    EXPECT_FALSE(bench.Logged("Erasing Device 24C32"));
    EXPECT_EQ(bench.board.counters().serial.device_bytes[0xA0], 1u);
}

// A parallel part's work leaves register 2 holding an address: FFh after a
// displayed page, 55h after the AT29C256's identification that its selection
// runs. Register-2 bit 0 is the 8-pin part's ground, so a serial part
// selected next must find the board at rest when Erase Chip or Verify powers it.
TEST(SerialEeprom, EraseAndVerifyRightAfterAParallelPart) {
    struct Case {
        const char* before;
        bool displayPage;
        const char* part;
        bool erase;  // Erase Chip, else Verify
        int model;
    };
    for (const Case& c : {Case{"27C256", true, "24C16", true, 4}, Case{"AT29C256", false, "24C32", true, 5},
                          Case{"AT29C256", false, "24C16", false, 6}, Case{"27C256", true, "24C32", false, 4}}) {
        SCOPED_TRACE(std::string(c.before) + " then " + c.part + (c.erase ? " Erase Chip" : " Verify"));
        OpBench bench(c.model, c.before);
        auto& p = bench.p();
        if (c.displayPage) p.form.Display_button.Click();
        sim::InsertDevice(bench.board, c.part);
        p.form.Device.SetListIndex(DeviceListIndex(p, c.part));
        bench.FillRandom();
        std::copy(bench.Chip().begin(), bench.Chip().end(), p.buffers.CodeBuffer.begin());
        if (c.erase)
            p.erase.EraseFlash_button_Click();
        else
            p.checks.Verify_button_Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);
        if (c.erase)
            EXPECT_TRUE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
        else
            EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
    }
}

// A 24C32 erase runs its 32-byte routine whatever an earlier command's
// acknowledge was: only the 24C16's own 16-byte routine may stop it.
TEST(SerialEeprom, TwentyFourC32EraseAfterAnEarlierNoAcknowledge) {
    ChipBench bench("24C32", kChipCorners[0]);
    auto& p = bench.p();
    SerialChip(bench).settings.never_ack = true;
    p.form.Read_button.Click();
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
    SerialChip(bench).settings.never_ack = false;
    p.form.EraseFlash_button.Click();
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);
    EXPECT_TRUE(std::all_of(bench.Chip().begin(), bench.Chip().end(), [](auto b) { return b == 0xFF; }));
}

// The working size decides how much is written: whole pages, then one shorter
// page; a file larger than the chip fills the chip and no more.
TEST(SerialEeprom, WritesExactlyTheWorkingSize) {
    struct Case {
        const char* part;
        std::int32_t codeSize;
        std::size_t written;
        std::uint64_t pages;
    };
    for (const Case& c : {Case{"24C08", 1000, 1000, 63}, Case{"24C08", 1001, 1001, 63}, Case{"24C32", 100, 100, 4},
                          Case{"24C08", 2048, 1024, 64}}) {
        SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.codeSize));
        ChipBench bench(c.part, kChipCorners[0]);
        const auto before = bench.Chip();
        bench.p().buffers.CodeSize = c.codeSize;
        bench.p().program.Program_button_Click();
        EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
        EXPECT_TRUE(bench.ChipHoldsBuffer(c.written));
        EXPECT_TRUE(std::equal(before.begin() + static_cast<std::ptrdiff_t>(c.written), before.end(),
                               bench.Chip().begin() + static_cast<std::ptrdiff_t>(c.written)));
        EXPECT_EQ(bench.board.counters().write_cycles, c.pages);
    }
}

// A verify that ends at a difference sends no stop, and a read or verify
// that ends on the board's acknowledge leaves the chip putting out the next
// byte: a 0 bit there holds the data line low. The next command still
// reaches the chip.
TEST(SerialEeprom, MismatchAndChipsLeftInsideATransaction) {
    ChipBench bench("24C08", kChipCorners[0]);
    auto& p = bench.p();
    bench.Poke(0, 0x08);  // the byte after the last: bits 7 and 5 are 0
    bench.Poke(0x11, 0x00);
    std::copy(bench.Chip().begin(), bench.Chip().end(), p.buffers.CodeBuffer.begin());
    for (int run = 0; run < 2; ++run) {
        p.checks.Verify_button_Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok) << run;
    }
    p.buffers.CodeBuffer[0x10] = 0x5A;
    const auto stops = bench.board.counters().serial.stops;
    p.checks.Verify_button_Click();
    EXPECT_TRUE(bench.Logged("Address: 10 ][ Buffer Data: 5A ][ Device Data: " +
                             feedback::HexText(bench.Chip()[0x10])));
    EXPECT_EQ(bench.board.counters().serial.stops, stops) << "no stop condition";
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::VerifyMismatch);
    p.program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
    EXPECT_TRUE(bench.ChipHoldsBuffer(1024));
}

}  // namespace
}  // namespace moltrix::testing
