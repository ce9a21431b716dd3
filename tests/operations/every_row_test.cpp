// Read, blank check and verify of every parallel part the catalogue handles,
// the rows spread over the three board models: each part's own address
// lines (the extra register-1 and register-3 lines that hold its power and
// strobe pins) must reach the simulated chip, or it reads as floating lines.
#include "devices/catalog.h"
#include "op_bench.h"

namespace moltrix::testing {
namespace {

constexpr std::int32_t kWorkingSize = 0x800;  // eight pages: small, and every row has at least this

TEST(EveryParallelRow, ReadsBlankChecksAndVerifiesOnEachModel) {
    int n = 0;
    for (const devices::DeviceRow& row : devices::DeviceRows()) {
        if (!row.supported || row.family == 'S' || row.family == 'M') continue;
        const std::string name = row.name;
        const std::string part = name.substr(name.rfind(' ') + 1);
        const int model = 4 + n++ % 3;
        SCOPED_TRACE(part + " on model " + std::to_string(model));
        OpBench bench(model, part);
        auto& p = bench.p();
        const auto last = static_cast<std::size_t>(kWorkingSize - 1);

        // A chip programmed only in its last byte of the range is not blank there.
        std::fill(bench.Chip().begin(), bench.Chip().end(), 0xFF);
        bench.Poke(last, 0x5A);
        p.buffers.CodeSize = kWorkingSize;
        p.form.Blank_button.Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::NotBlank);
        EXPECT_TRUE(bench.Logged("Address: 7FF ][ Device Data: 5A"));
        bench.Poke(last, 0xFF);
        p.form.Blank_button.Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);

        bench.FillRandom(static_cast<unsigned>(n));
        p.form.Read_button.Click();
        EXPECT_TRUE(std::equal(bench.Chip().begin(), bench.Chip().begin() + kWorkingSize,
                               p.buffers.CodeBuffer.begin()));
        p.form.Verify_button.Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::Ok);
        bench.Poke(last, static_cast<std::uint8_t>(bench.Chip()[last] ^ 0x81));
        p.form.Verify_button.Click();
        EXPECT_EQ(p.outcome.Last(), feedback::Outcome::VerifyMismatch);
        EXPECT_EQ(p.checks.FailAddress, kWorkingSize - 1);
        EXPECT_EQ(bench.board.counters().contention_reads, 0u);
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_EQ(n, 25);
}

}  // namespace
}  // namespace moltrix::testing
