// The program command with the EPROM routines, on simulated chips: the chip
// holds the image afterwards, and it saw the right voltage on the right line.
#include <fstream>

#include "operations/op_bench.h"
#include "platform/busy_wait.h"
#include "sim/eprom.h"

namespace moltrix::testing {
namespace {

struct Row {
    const char* part;
    int model;
    int volts;  // voltage option: 1 = 12.5 V, 2 = 21 V, 3 = 25 V
};
// Every routine on every model at least once, each part at its rated voltage.
constexpr Row kRows[] = {
    {"2732A", 5, 2},   {"2732B", 4, 1},   {"2732", 6, 3},    {"27C32", 5, 3},   {"2764", 6, 2},
    {"27C64", 4, 1},   {"27128", 5, 2},   {"27C128", 6, 1},  {"27256", 4, 1},   {"27C256", 5, 1},
    {"27C259", 6, 1},  {"27C512", 6, 1},  {"27C1001", 5, 1}, {"27C010", 6, 1},  {"27C2001", 4, 1},
    {"27C020", 5, 1},  {"27C4001", 4, 1}, {"27C040", 5, 1},  {"27C801", 4, 1},  {"27C080", 5, 1},
};
constexpr std::uint16_t kTenths[] = {0, 125, 210, 250};

struct Corner {
    const char* name;
    sim::Nanos access, pass;
    int slider;
    bool hard;
};
constexpr Corner kCorners[] = {
    {"typical, default speed, ISA port", sim::kMicrosecond, 1, 18, false},
    {"typical, default speed, ppdev port, slow PC", 1500, 20, 18, false},
    {"hard to program, slowest speed", sim::kMicrosecond, 1, 1, true},
};

// The program command on a chip of `row`: random bytes in the first 256 and
// the last 64 bytes (every address line moves), FFh between.
struct ProgramBench : OpBench {
    ProgramBench(const Row& row, const Corner& c) : OpBench(row.model, row.part) {
        ports.Time().access_time = c.access;
        ports.Time().pass_time = c.pass;
        if (c.hard) static_cast<sim::Eprom*>(board.chip())->settings.hard = true;
        auto& f = p().form;
        f.Voltage_button.Click(row.volts);
        f.Slider1.SetValue(c.slider);
        const auto size = static_cast<std::size_t>(p().selection.DeviceSize);
        auto& code = p().buffers.CodeBuffer;
        std::fill(code.begin(), code.end(), 0xFF);
        std::mt19937 gen(static_cast<unsigned>(size));
        for (std::size_t a = 0; a < 256; ++a) code[a] = static_cast<std::uint8_t>(gen());
        for (std::size_t a = size - 64; a < size; ++a) code[a] = static_cast<std::uint8_t>(gen());
    }
    bool ChipHoldsBuffer() {
        const auto& code = p().buffers.CodeBuffer;
        return std::equal(Chip().begin(), Chip().end(), code.begin());
    }
};

TEST(EpromProgram, EveryRowProgramsAtEachCorner) {
    for (const Corner& corner : kCorners) {
        for (const Row& row : kRows) {
            SCOPED_TRACE(std::string(row.part) + " on model " + std::to_string(row.model) + ", " + corner.name);
            ProgramBench bench(row, corner);
            auto& p = bench.p();
            ASSERT_EQ(p.selection.VppVolts, kTenths[row.volts] == 125 ? 12 : kTenths[row.volts] / 10);
            p.program.Program_button_Click();
            EXPECT_TRUE(bench.ChipHoldsBuffer());
            EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
            EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);
            const auto& pulses = bench.board.counters().pulses;
            EXPECT_EQ(pulses.over_voltage, 0u);
            EXPECT_EQ(pulses.under_voltage, 0u);
            EXPECT_EQ(pulses.last_vpp_tenths[0], row.model == 4 ? 125 : kTenths[row.volts]);
            EXPECT_EQ(bench.board.counters().contention_reads, 0u);
            EXPECT_EQ(p.regs.Reg0, 0x40) << "programming voltage off, board at rest";
            if (::testing::Test::HasFailure()) return;
        }
    }
}

TEST(EpromProgram, FullMegabyteOn27C080) {
#ifdef MOLTRIX_SANITIZED
    GTEST_SKIP() << "a million bytes of pulses take minutes under the sanitizers; the normal build runs it";
#endif
    OpBench bench(6, "27C080");
    auto& code = bench.p().buffers.CodeBuffer;
    std::mt19937 gen(5);
    for (std::size_t a = 0; a < 0x100000; ++a) code[a] = static_cast<std::uint8_t>(gen());
    bench.p().program.Program_button_Click();
    EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().end(), code.begin()));
    EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
}

// The preselected 12.5 V does not program a 25 V 2732: every pulse is under
// the rating, so the first byte fails after its 254 pulses.
TEST(EpromProgram, A2732At12VoltsFailsWithTheReport) {
    ProgramBench bench({"2732", 6, 1}, kCorners[0]);
    auto& p = bench.p();
    p.form.VerifyAfterProgramming.SetValue(1);
    const std::uint8_t first = p.buffers.CodeBuffer[0];
    const auto before = bench.rig.LogMessages().size();
    p.program.Program_button_Click();
    const auto lines = bench.LogFrom(before);
    char report[80];
    std::snprintf(report, sizeof report, "*** Address:0h, Programming BYTE:%Xh, Read BYTE:FFh", first);
    const std::vector<std::string> expected{"*** Programming Failure ***", report, "*** Aborting Programming."};
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 5), expected);
    EXPECT_EQ(bench.board.counters().pulses.count[0], 254u);
    EXPECT_GT(bench.board.counters().pulses.under_voltage, 0u);
    EXPECT_EQ(bench.rig.dialogs.shown.back().text, "Program or Compare Error");
    EXPECT_FALSE(bench.Logged("Programming Device Successfull"));
    EXPECT_FALSE(bench.Logged("Verify Function Started... Wait")) << "no verify after a failure";
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::ProgramFailed);
}

TEST(EpromProgram, DeadCellStopsAfter254PulsesAndLeavesTheRestUntouched) {
    ProgramBench bench({"27C256", 5, 1}, kCorners[0]);
    auto& p = bench.p();
    bench.board.chip()->SetDead(0x10);
    p.buffers.CodeBuffer[0x10] = 0x3C;
    p.program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("*** Address:10h, Programming BYTE:3Ch, Read BYTE:FFh"));
    EXPECT_EQ(bench.board.counters().pulses.count[0x10], 254u);
    EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().begin() + 0x10, p.buffers.CodeBuffer.begin()));
    EXPECT_TRUE(std::all_of(bench.Chip().begin() + 0x11, bench.Chip().end(), [](auto b) { return b == 0xFF; }));
    EXPECT_FALSE(p.lamps.ErrorLampLit()) << "the alert is cleared once its box is closed";
}

// A dead cell takes 254 pulses, the last 199 (from the 56th on) lengthened by
// the long delay, and every pulse is followed by the 20-pass wait before its
// read-back. The pulses are measured on the chip against one of a cell that
// takes its data at the first pulse. (The 27C512's pulses after the first of
// a byte begin as the voltage reaches OE with CE still low from the read-back,
// so they are longer than its first: only its waits are counted.)
TEST(EpromProgram, LongPulsesFromThe56thAndAWaitBeforeEachReadBack) {
    for (const Row& row : {Row{"2732B", 6, 1}, Row{"27C64", 5, 1}, Row{"27C256", 4, 1}, Row{"27C512", 6, 1},
                           Row{"27C010", 5, 1}}) {
        const std::string part = row.part;
        SCOPED_TRACE(row.part);
        ProgramBench bench(row, kCorners[0]);
        auto& p = bench.p();
        auto& eprom = *static_cast<sim::Eprom*>(bench.board.chip());
        eprom.SetDead(0x10);
        eprom.SetNeed(0x0F, 1);
        p.buffers.CodeBuffer[0x0F] = p.buffers.CodeBuffer[0x10] = 0x00;
        const auto& r = p.regs;
        for (std::int32_t count : {r.StrobeDelayCount, r.PulseDelayCount, r.LongDelayCount}) ASSERT_NE(count, 20);
        bench.clock.WatchSpinsOf(20);
        p.program.Program_button_Click();
        const auto& pulses = bench.board.counters().pulses;
        ASSERT_EQ(pulses.count[0x0F], 1u);
        ASSERT_EQ(pulses.count[0x10], 254u);
        const sim::Nanos longPart =
            part == "2732B" ? 0
                            : static_cast<sim::Nanos>(r.LongDelayCount) *
                                  std::max<sim::Nanos>(bench.ports.Time().pass_time, platform::kPassNanos);
        if (part != "27C512") {
            EXPECT_EQ(pulses.width[0x10], 254 * pulses.width[0x0F] + 199 * longPart);
        }
        EXPECT_EQ(bench.clock.WatchedSpins(), static_cast<long long>(pulses.total));
    }
}

TEST(EpromProgram, ErasedImagePulsesNothingAndRerunsSkipWhatIsThere) {
    for (const Row& row : {Row{"27C256", 6, 1}, Row{"27C512", 4, 1}, Row{"2732B", 5, 1}}) {
        SCOPED_TRACE(row.part);
        ProgramBench bench(row, kCorners[0]);
        auto& p = bench.p();
        auto& code = p.buffers.CodeBuffer;
        const std::vector<std::uint8_t> image(code.begin(), code.begin() + p.selection.DeviceSize);
        std::fill(code.begin(), code.end(), 0xFF);
        p.program.Program_button_Click();
        EXPECT_EQ(bench.board.counters().pulses.total, 0u);
        EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
        if (row.part == std::string("27C256")) continue;  // no pre-read: a re-run pulses again
        std::copy(image.begin(), image.end(), code.begin());
        p.program.Program_button_Click();
        const auto once = bench.board.counters().pulses.total;
        EXPECT_GT(once, 0u);
        p.program.Program_button_Click();  // the chip already holds the image
        EXPECT_EQ(bench.board.counters().pulses.total, once);
    }
}

TEST(EpromProgram, RegisterZeroSettlingAndProgressStep) {
    struct Case {
        const char* part;
        int volts;
        std::int16_t reg0;
    };
    for (const Case& c : {Case{"27C040", 1, 0x68}, Case{"27C256", 1, 0x58}, Case{"2764", 2, 0x5A},
                          Case{"2732", 3, 0x4B}}) {
        SCOPED_TRACE(c.part);
        ProgramBench bench({c.part, 5, c.volts}, kCorners[0]);
        auto& p = bench.p();
        p.image.BuildProgramImage();
        p.image.ImageSize = 0;  // the set-up alone
        const auto slept = bench.clock.TotalSleptMs();
        const auto before = bench.rig.LogMessages().size();
        if (p.selection.DeviceType == "P1") p.eprom.P2732();
        if (p.selection.DeviceType == "P2") p.eprom.P2764_128();
        if (p.selection.DeviceType == "P4" || p.selection.DeviceType == "P8") p.eprom.P27256_040();
        EXPECT_EQ(p.regs.Reg0 & ~0x40, c.reg0 & ~0x40);
        const bool settles = c.volts > 1;
        EXPECT_EQ(bench.clock.TotalSleptMs() - slept, settles ? 1500 : 0);
        EXPECT_EQ(bench.LogFrom(before).front(),
                  settles ? "Wait 1500ms second VPP Settling" : "Programming Started... Wait ");
    }
    ProgramBench bench({"2732B", 6, 1}, kCorners[0]);
    bench.p().program.Program_button_Click();
    EXPECT_EQ(bench.p().progress.ProgressStep, 41);
}

TEST(EpromProgram, CancelBlankCheckAndUnsupportedType) {
    {
        ProgramBench bench({"27C256", 6, 1}, kCorners[0]);
        bench.rig.dialogs.messageAnswers.push_back(platform::MsgResult::Cancel);
        bench.p().program.Program_button_Click();
        EXPECT_TRUE(bench.Logged("Programming was Canceled by Operator"));
        EXPECT_EQ(bench.board.counters().pulses.total, 0u);
        EXPECT_EQ(bench.rig.dialogs.shown.front().title, "Safety Question");
        EXPECT_EQ(bench.rig.dialogs.shown.front().defaultButton, platform::MsgDefault::Second) << "Cancel";
        EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Cancelled);
    }
    {
        ProgramBench bench({"27C256", 6, 1}, kCorners[0]);
        bench.Poke(0x100, bench.p().buffers.CodeBuffer[0x100] & 0xF0);  // programmed before, still fits
        bench.p().buffers.CodeBuffer[0x100] &= 0xF0;
        bench.p().form.CheckBlankPriorProgramming.SetValue(1);
        bench.p().form.VerifyAfterProgramming.SetValue(1);
        bench.p().program.Program_button_Click();
        EXPECT_TRUE(bench.Logged("Device IS NOT BLANK (ERASED)"));
        EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
        EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
        EXPECT_TRUE(bench.ChipHoldsBuffer());
        // The command's outcome is the first failure it met, whatever ran after it.
        EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::NotBlank);
    }
    {
        ProgramBench bench({"27C256", 6, 1}, kCorners[0]);
        auto& p = bench.p();
        p.selection.DeviceType = "MJ";
        p.form.VerifyAfterProgramming.SetValue(1);
        p.program.Program_button_Click();
        EXPECT_TRUE(bench.Logged("Device Not Supported - Status 9 - Please Report"));
        EXPECT_TRUE(bench.Logged("Verify Function Started... Wait")) << "nothing failed, so the verify runs";
        EXPECT_EQ(bench.board.counters().pulses.total, 0u);
    }
}

// A file shorter than the chip, loaded into the buffer as the program starts:
// the rest of a blank EPROM stays blank (no pulse there), which a verify over
// the whole chip confirms.
TEST(EpromProgram, ShortFileLeavesTheRestOfTheChipBlank) {
    OpBench bench(6, "27C256");
    auto& p = bench.p();
    std::string file(1024, '\0');
    std::mt19937 gen(3);
    for (char& c : file) c = static_cast<char>(gen());
    std::ofstream(bench.rig.services.paths.workDir / "short.bin", std::ios::binary) << file;
    ASSERT_TRUE(p.buffers.LoadCodeFile("short.bin"));
    p.program.Program_button_Click();
    EXPECT_TRUE(bench.Logged("Programming Device Successfull"));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), bench.Chip().begin(),
                           [](char f, std::uint8_t c) { return static_cast<std::uint8_t>(f) == c; }));
    EXPECT_TRUE(std::all_of(bench.Chip().begin() + 1024, bench.Chip().end(), [](auto b) { return b == 0xFF; }));
    const auto& pulses = bench.board.counters().pulses.count;
    std::uint64_t pulsesPastFile = 0;
    for (std::uint32_t a = 1024; a < 0x8000; ++a) pulsesPastFile += pulses[a];
    EXPECT_EQ(pulsesPastFile, 0u);
}

}  // namespace
}  // namespace moltrix::testing
