// The Read command on simulated chips: the buffer holds what the chip holds.
#include "op_bench.h"

namespace moltrix::testing {
namespace {

struct ReadCase {
    int model;
    const char* part;
    std::int32_t codeSize;  // 0: the device's size
};

TEST(Read, BufferEqualsChipWithCountAndChecksumLines) {
    const ReadCase cases[] = {
        {6, "27C256", 0}, {5, "27C512", 0}, {4, "27C010", 0}, {6, "27C080", 0},
        {5, "27C256", 5000},          // 20 whole pages read, 5000 reported
        {4, "27C010", 0x18000},       // 96 KiB: high value 1, pages 0-7Fh under it
        {6, "AM29F040", 0},           // A18 taken on the register-3 bit of A19
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.part) + " on model " + std::to_string(c.model) + ", size " +
                     std::to_string(c.codeSize));
        OpBench bench(c.model, c.part);
        auto& p = bench.p();
        bench.FillRandom();
        if (c.codeSize) p.buffers.CodeSize = c.codeSize;
        const std::int32_t size = p.buffers.CodeSize;
        const std::size_t covered = (static_cast<std::size_t>(size) + 255) / 256 * 256;
        std::fill(p.buffers.CodeBuffer.begin(), p.buffers.CodeBuffer.end(), 0x5A);
        bench.board.counters().contention_reads = 0;

        p.form.Read_button.Click();

        const auto& buf = p.buffers.CodeBuffer;
        ASSERT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().begin() + static_cast<std::ptrdiff_t>(covered),
                               buf.begin()));
        EXPECT_EQ(buf[covered], 0x5A) << "nothing past the last page is touched";
        EXPECT_TRUE(bench.Logged(std::to_string(size) + " bytes Read from Device"));
        EXPECT_TRUE(bench.Logged("Device CHKSUMM = $" + bench.ChipSumText(covered)));
        EXPECT_EQ(bench.highestProgress, size / 256);
        EXPECT_EQ(p.form.ProgressBar1.value, 0);
        EXPECT_EQ(bench.board.counters().contention_reads, 0u);
        EXPECT_EQ(bench.board.counters().pulses.total, 0u) << "a read applies no programming voltage";
        EXPECT_EQ(p.buffers.CodeLoaded, 1);
        auto& f = p.form;
        for (auto* b : {&f.Verify_button, &f.Program_button, &f.Erase_button}) EXPECT_TRUE(b->enabled) << b->name;
        for (auto* m : {&f.menuVerifyCode, &f.menuProgramCode, &f.menuEraseCode, &f.mnuFileSaveCodeAs})
            EXPECT_TRUE(m->enabled) << m->name;
        EXPECT_EQ(p.regs.Reg0, 0x40) << "board put to rest";
    }
}

TEST(Read, ErasedChipSumsToSizeTimesFF) {
    OpBench bench(6, "27C256");
    bench.p().form.Read_button.Click();
    EXPECT_TRUE(bench.Logged("Device CHKSUMM = $8000"));
    EXPECT_EQ(bench.p().checks.DeviceSumText, "8000");
}

// Per location one register-2 write (four port writes) and one read-back (two
// writes, two reads); register 1 once per page, register 3 once per 64 KiB.
TEST(Read, PortCostPerByteAndPerPage) {
    OpBench bench(6, "27C512");
    auto& p = bench.p();
    auto cost = [&](std::int32_t size) {
        p.buffers.CodeSize = size;
        const auto w = bench.ports.PortWrites(), r = bench.ports.PortReads();
        p.checks.ReadParallel();
        return std::pair{bench.ports.PortWrites() - w, bench.ports.PortReads() - r};
    };
    const auto [w1, r1] = cost(256);
    const auto [w2, r2] = cost(65536);
    EXPECT_EQ(r2 - r1, 2u * (65536 - 256));
    EXPECT_EQ(r1, 2u * 256);
    EXPECT_EQ(w2 - w1, 6u * (65536 - 256) + 4u * 255);
}

TEST(Read, SerialFramingReportsNoAckAndLeavesTheLinesActive) {
    OpBench bench(6, "24C08");
    auto& p = bench.p();
    p.checks.serialRead = [&] {
        p.buffers.CodeBuffer[0] = 0x42;
        return std::int16_t{200};
    };
    p.form.Read_button.Click();
    EXPECT_TRUE(bench.Logged("Device 24CXX DOES NOT RESPOND - ACK Error"));
    EXPECT_FALSE(bench.Logged("1024 bytes Read from Device"));
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
    EXPECT_EQ(p.buffers.CodeLoaded, 1);
    EXPECT_EQ(p.regs.Reg3 & 0x80, 0) << "CE active";
    EXPECT_EQ(p.regs.Reg0, 0x40);
    EXPECT_EQ(p.regs.Reg1, 0);
    EXPECT_EQ(p.regs.Reg2, 0);

    p.checks.serialRead = [] { return std::int16_t{0}; };
    p.form.Read_button.Click();
    EXPECT_TRUE(bench.Logged("1024 bytes Read from Device"));
    EXPECT_FALSE(bench.Logged("Device CHKSUMM = $0000"));
}

TEST(Read, FamiliesWithoutARoutineGetTheMessage) {
    OpBench bench(6, "24C08");
    // The microcontroller row has no read routine; the catalogue refuses it
    // today, so it is put in force directly.
    bench.p().selection.DeviceFamily = "M";
    bench.p().selection.DeviceType = "MJ";
    bench.p().form.Read_button.Click();
    ASSERT_FALSE(bench.rig.dialogs.shown.empty());
    EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Please Write Missing Routines at READCODE");
    EXPECT_EQ(bench.rig.dialogs.shown.back().title, "Routine Not Ready");
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Unsupported);
}

}  // namespace
}  // namespace moltrix::testing
