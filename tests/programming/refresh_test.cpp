// Refreshing a programmed EPROM in place, and reading one several times, on
// simulated chips whose bits have faded: the chip's own contents and pulse
// counters say what happened, not the program's buffers.
#include <set>

#include "operations/op_bench.h"
#include "operations/repeat_read.h"
#include "programming/refresh.h"
#include "sim/eprom.h"

namespace moltrix::testing {
namespace {

struct FadedChip : OpBench {
    // A 27C256 programmed with random bytes; the same bytes are the file, in
    // the code buffer.
    explicit FadedChip(const char* part = "27C256", int model = 5) : OpBench(model, part) {
        FillRandom(11);
        file = Chip();
        std::copy(file.begin(), file.end(), p().buffers.CodeBuffer.begin());
        p().buffers.CodeSize = static_cast<std::int32_t>(file.size());
    }
    sim::Eprom& Eprom() { return *static_cast<sim::Eprom*>(board.chip()); }
    std::vector<std::uint8_t> file;
};

// Addresses that took at least one pulse.
std::set<std::uint32_t> Pulsed(const sim::BoardCounters& counters, std::size_t size) {
    std::set<std::uint32_t> pulsed;
    for (std::uint32_t a = 0; a < size; ++a)
        if (counters.pulses.count[a] > 0) pulsed.insert(a);
    return pulsed;
}

// Each EPROM routine (CE pulse, PGM pulse, voltage on OE with a read before
// each byte) on its model.
TEST(Refresh, PulsesOnlyTheDriftedCellsUntilTheChipHoldsTheFileAgain) {
    for (const auto& [part, model] : {std::pair{"27C256", 5}, std::pair{"27C512", 6}, std::pair{"27C64", 4}}) {
        SCOPED_TRACE(part);
        FadedChip bench(part, model);
        auto& eprom = bench.Eprom();
        eprom.Drift(6);
        bench.board.RefreshChip();
        std::set<std::uint32_t> drifted;
        for (const auto& d : eprom.drifted()) drifted.insert(d.address);

        programming::RefreshDevice(bench.p(), 1);
        EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Ok);
        EXPECT_EQ(bench.Chip(), bench.file);
        EXPECT_TRUE(bench.Logged("Refresh pass 1: " + std::to_string(drifted.size()) + " bytes to refresh"));
        EXPECT_FALSE(bench.Logged("Refresh pass 2: 0 bytes to refresh"));
        EXPECT_TRUE(bench.Logged("Device Contents MATCHES with Buffer Contents"));
        EXPECT_EQ(Pulsed(bench.board.counters(), bench.file.size()), drifted);
        EXPECT_EQ(bench.board.counters().pulses.over_voltage + bench.board.counters().pulses.under_voltage, 0u);
        EXPECT_EQ(bench.rig.dialogs.shown.size(), 1u) << "one safety question";
    }
}

// A weak 0 reads right at most read-backs while its charge is short: the
// bits the reads show as 1 get pulses until their charge is whole.
TEST(Refresh, WeakBitsSeenInTheReadsGetTheirChargeBack) {
    FadedChip bench;
    auto& eprom = bench.Eprom();
    std::set<std::uint32_t> weak;
    for (std::uint32_t a = 0x100; weak.size() < 8; a += 0x301)
        if ((bench.file[a] & 1) == 0) weak.insert(a);
    for (std::uint32_t a : weak) eprom.SetWeak(a, 0);

    programming::RefreshDevice(bench.p(), 7);
    const auto pulsed = Pulsed(bench.board.counters(), bench.file.size());
    EXPECT_GE(pulsed.size(), 6u) << "seven reads show most weak bits";
    for (std::uint32_t a : weak) EXPECT_EQ(eprom.Weak(a, 0), pulsed.count(a) == 0) << "pulsed bits are whole: " << a;
    EXPECT_TRUE(std::includes(weak.begin(), weak.end(), pulsed.begin(), pulsed.end()));
    EXPECT_EQ(bench.Chip(), bench.file);
}

TEST(Refresh, AFileNeedingZeroToOneIsRefusedBeforeAnyPulseOrQuestion) {
    FadedChip bench;
    auto& code = bench.p().buffers.CodeBuffer;
    bench.Eprom().Drift(3);
    bench.board.RefreshChip();
    for (std::uint32_t a : {0x0040u, 0x7FF0u}) {
        bench.Poke(a, bench.file[a] & 0x7F);
        code[a] = bench.file[a] | 0x80;
    }
    const auto before = bench.Chip();
    programming::RefreshDevice(bench.p(), 1);
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::NeedsErase);
    EXPECT_EQ(bench.board.counters().pulses.total, 0u);
    EXPECT_EQ(bench.Chip(), before);
    EXPECT_TRUE(bench.rig.dialogs.shown.empty()) << "nothing to ask: it will not program";
    EXPECT_TRUE(bench.Logged("*** Refresh Refused: 2 bytes need a bit from 0 to 1 - Erase the EPROM by UV first"));
    char line[80];
    std::snprintf(line, sizeof line, "*** Address:40h, File BYTE:%Xh, Read BYTE:%Xh", code[0x40], bench.Chip()[0x40]);
    EXPECT_TRUE(bench.Logged(line)) << line;
}

TEST(Refresh, OtherChipsAndACancelledQuestionAreNotPulsed) {
    FadedChip bench;
    bench.Eprom().Drift(2);
    bench.rig.dialogs.messageAnswers.push_back(platform::MsgResult::Cancel);
    programming::RefreshDevice(bench.p(), 1);
    EXPECT_EQ(bench.p().outcome.Last(), feedback::Outcome::Cancelled);
    EXPECT_EQ(bench.board.counters().pulses.total, 0u);

    OpBench flash(6, "AM29F040");
    programming::RefreshDevice(flash.p(), 1);
    EXPECT_EQ(flash.p().outcome.Last(), feedback::Outcome::Unsupported);
    EXPECT_TRUE(flash.Logged("*** Refresh Refused: only a UV EPROM is refreshed in place"));
}

TEST(RepeatedRead, NamesTheWeakBitAndKeepsTheChipsRealContents) {
    FadedChip bench;
    bench.Eprom().SetWeak(0x1234, 0);
    bench.Eprom().SetWeak(0x5678, 0);
    bench.Poke(0x1234, bench.file[0x1234] & 0xFE);  // both bits programmed
    bench.Poke(0x5678, bench.file[0x5678] & 0xFE);
    const auto real = bench.Chip();
    const auto r = operations::ReadRepeatedly(bench.p(), 7);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->reads, 7);
    ASSERT_FALSE(r->wavering.empty());
    for (const auto& w : r->wavering) {
        EXPECT_TRUE(w.address == 0x1234 || w.address == 0x5678) << w.address;
        EXPECT_EQ(w.bit, 0);
        EXPECT_EQ(w.ones + w.zeros, 7);
        EXPECT_LT(w.ones, w.zeros) << "a weak bit reads 1 about one time in four";
    }
    const auto& code = bench.p().buffers.CodeBuffer;
    EXPECT_TRUE(std::equal(real.begin(), real.end(), code.begin())) << "the majority is what the chip holds";
    EXPECT_EQ(bench.Chip(), real) << "reading never changes the chip";
}

TEST(RepeatedRead, AnEvenSplitKeepsZeroAndIsSaidSo) {
    operations::BitVotes votes;
    votes.Add(std::vector<std::uint8_t>{0x00, 0xF0});
    votes.Add(std::vector<std::uint8_t>{0x01, 0xF0});
    EXPECT_EQ(votes.Majority(), (std::vector<std::uint8_t>{0x00, 0xF0}));
    votes.Add(std::vector<std::uint8_t>{0x01, 0x70});
    EXPECT_EQ(votes.Majority(), (std::vector<std::uint8_t>{0x01, 0xF0}));
    const auto wavering = votes.Wavering();
    ASSERT_EQ(wavering.size(), 2u);
    EXPECT_EQ((std::tuple{wavering[0].address, wavering[0].bit, wavering[0].ones}), (std::tuple{0u, 0, 2}));
    EXPECT_EQ((std::tuple{wavering[1].address, wavering[1].bit, wavering[1].ones}), (std::tuple{1u, 7, 2}));
    const operations::RepeatedRead split{2, {{5, 3, 1, 1}}};
    EXPECT_TRUE(split.AnySplit());
    EXPECT_EQ(operations::RepeatedReadReport(split).back(), "000005   3         1       1  0 (no majority)");
}

}  // namespace
}  // namespace moltrix::testing
