// The Verify command on simulated chips, and its mismatch report.
#include "op_bench.h"

namespace moltrix::testing {
namespace {

// The buffer loaded with what the chip holds, as after a read.
void BufferFromChip(OpBench& bench) {
    std::copy(bench.Chip().begin(), bench.Chip().end(), bench.p().buffers.CodeBuffer.begin());
}

TEST(Verify, MatchLogsTheChecksumOfTheChip) {
    OpBench bench(6, "27C256");
    bench.FillRandom();
    BufferFromChip(bench);
    bench.p().checks.Verify_button_Click();
    EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
    EXPECT_TRUE(bench.Logged("Device CHKSUMM = $" + bench.ChipSumText(0x8000)));
    EXPECT_EQ(bench.p().form.Verify_button.backColor, form::Color::ButtonFace());
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Ok);
}

TEST(Verify, FirstDifferenceIsReportedInThreeLines) {
    for (auto [address, line] : {std::pair{0x0, "Address: 0 ][ Buffer Data: 3C ][ Device Data: FF"},
                                 std::pair{0x1F0, "Address: 1F0 ][ Buffer Data: 3C ][ Device Data: FF"}}) {
        OpBench bench(5, "27C256");
        auto& p = bench.p();
        std::fill_n(p.buffers.CodeBuffer.begin(), 0x8000, 0xFF);
        p.buffers.CodeBuffer[static_cast<std::size_t>(address)] = 0x3C;
        p.buffers.CodeBuffer[0x7000] = 0x00;  // a later difference is never reached
        const auto before = bench.rig.LogMessages().size();
        p.checks.Verify_button_Click();
        const auto lines = bench.LogFrom(before);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[1], std::string(50, '*'));
        EXPECT_EQ(lines[2], "Device Memory DOES NOT VERIFY with Buffer Contents");
        EXPECT_EQ(lines[3], line);
        EXPECT_EQ(p.checks.VerifyFailed, 1);
        EXPECT_FALSE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::VerifyMismatch);
    }
}

TEST(Verify, ShortWorkingSizeComparesWholePagesOnly) {
    for (auto [address, match] : {std::pair{5100, false}, std::pair{5120, true}}) {
        OpBench bench(6, "27C256");
        bench.FillRandom();
        BufferFromChip(bench);
        bench.p().buffers.CodeSize = 5000;
        bench.Poke(static_cast<std::size_t>(address), static_cast<std::uint8_t>(~bench.Chip()[address]));
        bench.p().checks.Verify_button_Click();
        EXPECT_EQ(bench.Logged("Device Contents MATCHES with Buffer Contents"), match) << address;
    }
}

// A chip programmed with "Hi Byte" holds the odd buffer bytes in its lower
// half and is erased above; a "Both" verify before it leaves no trace.
TEST(Verify, HiAndLowImagesCompareTheChosenBytesAndReportTheImageByte) {
    for (int option : {1, 2}) {
        SCOPED_TRACE(option == 1 ? "Hi Byte" : "Low Byte");
        OpBench bench(6, "27C256");
        auto& p = bench.p();
        auto& code = p.buffers.CodeBuffer;
        for (std::size_t i = 0; i < 0x8000; ++i) code[i] = static_cast<std::uint8_t>(i * 7 + 1);
        for (std::size_t k = 0; k < 0x4000; ++k) bench.Chip()[k] = code[2 * k + (option == 1 ? 1 : 0)];
        bench.board.RefreshChip();
        p.checks.Verify_button_Click();  // "Both": fails at 0 or soon after
        ASSERT_EQ(p.checks.VerifyFailed, 1);

        p.form.HiLow_button.SetValue(option, true);
        p.checks.Verify_button_Click();
        EXPECT_EQ(p.checks.VerifyFailed, 0);

        bench.Poke(0x10, 0xEE);
        const auto before = bench.rig.LogMessages().size();
        p.checks.Verify_button_Click();
        const std::uint8_t imageByte = code[0x20 + (option == 1 ? 1 : 0)];
        char line[80];
        std::snprintf(line, sizeof line, "Address: 10 ][ Buffer Data: %X ][ Device Data: EE", imageByte);
        ASSERT_GE(bench.LogFrom(before).size(), 4u);
        EXPECT_EQ(bench.LogFrom(before)[3], line);
    }
}

TEST(Verify, DataAreaMessageFollowsAFailedCodeVerify) {
    OpBench bench(6, "27C256");
    auto& p = bench.p();
    p.buffers.CodeBuffer[0] = 0;
    p.form.CheckData.value = 1;
    p.checks.Verify_button_Click();
    const auto& shown = bench.rig.dialogs.shown;
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].text, "Program or Compare Error");
    EXPECT_EQ(shown.back().text, "Please Write AT90S2313 VerifyData Routine");
    EXPECT_EQ(shown.back().title, "");
}

TEST(Verify, SerialFramingHasNoChecksumLine) {
    OpBench bench(6, "24C08");
    auto& p = bench.p();
    p.checks.serialVerify = [] { return std::int16_t{0}; };
    p.checks.Verify_button_Click();
    EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
    for (const auto& line : bench.rig.LogMessages()) EXPECT_EQ(line.find("CHKSUMM"), std::string::npos);
    p.checks.serialVerify = [] { return std::int16_t{200}; };
    p.checks.Verify_button_Click();
    EXPECT_TRUE(bench.Logged("Check Chip Installation Position on Socket"));
    EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NoAck);
}

}  // namespace
}  // namespace moltrix::testing
