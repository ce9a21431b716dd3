// The device view read from a simulated chip: what the chip holds is what the
// page shows, with the device view's printable rule, on every board model.
#include <gtest/gtest.h>

#include "sim/bench_setup.h"
#include "sim/simulated_ports.h"
#include "support/rig.h"

namespace moltrix::testing {
namespace {

constexpr int kEprom27C256 = 11;

struct ChipBench {
    explicit ChipBench(int model, const std::string& part = "27C256") : board(ports.AttachBoard(0x378, model)) {
        EXPECT_NE(sim::InsertDevice(board, part), nullptr);
        auto& mem = board.chip()->Memory();
        for (std::size_t a = 0; a < mem.size(); ++a) mem[a] = static_cast<std::uint8_t>(a * 13 + (a >> 8));
        const std::uint8_t hello[16] = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x2C, 0x20, 0x57,
                                        0x6F, 0x72, 0x6C, 0x64, 0x21, 0x7B, 0xFF, 0x22};
        std::copy(std::begin(hello), std::end(hello), mem.begin() + 0x10);
        board.RefreshChip();
        p().Form_Load();
        p().form.Device.SetListIndex(part == "27C256" ? kEprom27C256 : DeviceListIndex(p(), part));
    }
    Programmer& p() { return rig.p(); }

    sim::SimulatedPorts ports;
    sim::Board& board;
    Rig rig{&ports};
};

std::string Line(const std::string& page, int n) { return page.substr(static_cast<std::size_t>(n) * 64, 62); }

TEST(DeviceView, ShowsTheChipPageOnEveryModel) {
    for (int model : {4, 5, 6}) {
        SCOPED_TRACE("model " + std::to_string(model));
        ChipBench bench(model);
        auto& p = bench.p();
        auto& f = p.form;
        ASSERT_EQ(p.regs.BoardModel, model);
        ASSERT_EQ(p.selection.DeviceType, "P4");
        const auto logBefore = bench.rig.LogMessages().size();
        bench.board.counters().contention_events = 0;

        f.Display_button.Click();
        const std::string& page = f.BufferDisplay.text;
        ASSERT_EQ(page.size(), 16u * 62 + 15 * 2);
        EXPECT_EQ(Line(page, 1), "000010| 48656C6C 6F2C2057 6F726C64 217BFF22 | Hello, World!..\"");
        // Line 0 is the chip's pattern: a * 13 for a = 0..15.
        EXPECT_EQ(Line(page, 0).substr(0, 44), "000000| 000D1A27 34414E5B 6875828F 9CA9B6C3 ");
        EXPECT_EQ(f.Frame3.caption, "Device Memory Hex/Ascii Display");
        EXPECT_EQ(p.display.DisplaySource, "DisplayEprom");
        EXPECT_EQ(f.DataFlow_label.foreColor, form::Color::ButtonFace());
        auto log = bench.rig.LogMessages();
        ASSERT_EQ(log.size(), logBefore + 1);
        EXPECT_EQ(log.back(), "Fetching Device Binary Contents to Screen");
        EXPECT_EQ(bench.board.counters().contention_events, 0u);
        // The buffer was not touched: the view reads the chip only.
        EXPECT_EQ(p.buffers.CodeBuffer[0x10], 0xFF);

        // Paging now reads the chip's last page.
        f.VScroll1.SetValue(f.VScroll1.max);
        EXPECT_EQ(f.VScroll1.value, 127);
        const auto& mem = bench.board.chip()->Memory();
        char expect[16];
        std::snprintf(expect, sizeof expect, "007FF0| %02X%02X", mem[0x7FF0], mem[0x7FF1]);
        EXPECT_EQ(Line(f.BufferDisplay.text, 15).substr(0, 12), expect);
        EXPECT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 8), "007F00| ");

        // The view switch goes back to the code buffer (untouched: erased, FFh).
        f.Show_button.Click();
        EXPECT_EQ(f.Frame3.caption, "Code Buffer Hex/Ascii Display");
        EXPECT_EQ(p.display.DisplaySource, "Read");
        EXPECT_EQ(Line(f.BufferDisplay.text, 1), "000010| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
    }
}

TEST(DeviceView, DisplayStartsAtPageZeroAndReadsTheChipOnce) {
    ChipBench bench(5);
    auto& p = bench.p();
    auto& f = p.form;
    f.VScroll1.SetValue(40);  // a buffer page; the command starts again at 0
    const auto readsBefore = bench.ports.PortReads();
    f.Display_button.Click();
    EXPECT_EQ(f.VScroll1.value, 0);
    EXPECT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 8), "000000| ");
    // Two status readings per byte of one 256-byte page, and no second pass.
    EXPECT_EQ(bench.ports.PortReads() - readsBefore, 512u);
}

// A new device's smaller range moves the position, but reads no chip, so the
// new device's resting state stands: a serial part rests with CE and OE active.
TEST(DeviceView, SelectingADeviceWhileTheChipIsShownReadsNothing) {
    ChipBench bench(6, "27C512");
    auto& f = bench.p().form;
    f.Display_button.Click();
    f.VScroll1.SetValue(200);
    ASSERT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 8), "00C800| ");
    const auto reads = bench.ports.PortReads(), writes = bench.ports.PortWrites();
    f.Device.SetListIndex(DeviceListIndex(bench.p(), "24C16"));
    EXPECT_EQ(f.VScroll1.value, 7);
    EXPECT_EQ(bench.ports.PortReads(), reads) << "the chip was read";
    EXPECT_LT(bench.ports.PortWrites() - writes, 64u) << "more than the resting lines were written";
    EXPECT_EQ(bench.board.Register(3) & 0x80, 0) << "CE rests active";
    EXPECT_EQ(bench.board.Register(0) & 0x40, 0) << "OE rests active";
}

// Selecting a device, the same one too, brings back the code buffer: the page
// shown and the pages scrolled to are the buffer's, and no chip is read.
TEST(DeviceView, SelectingADeviceAgainShowsTheCodeBuffer) {
    ChipBench bench(6);
    auto& p = bench.p();
    auto& f = p.form;
    auto& buffer = p.buffers.CodeBuffer;
    for (std::size_t a = 0; a < 0x8000; ++a) buffer[a] = static_cast<std::uint8_t>(a * 3 + (a >> 8));
    f.Display_button.Click();
    f.VScroll1.SetValue(5);
    ASSERT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 8), "000500| ");
    const auto reads = bench.ports.PortReads();
    f.Device.SetListIndex(kEprom27C256);
    EXPECT_EQ(p.display.DisplaySource, "Read");
    EXPECT_EQ(f.Frame3.caption, "Code Buffer Hex/Ascii Display");
    EXPECT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 19), "000500| 05080B0E 11");
    f.VScroll1.SetValue(6);
    EXPECT_EQ(Line(f.BufferDisplay.text, 0).substr(0, 19), "000600| 06090C0F 12");
    EXPECT_EQ(bench.ports.PortReads(), reads) << "the chip was read";
}

// A serial EEPROM has no page view: under the device caption the display is
// empty, not the buffer's page, and scrolling reads nothing from the chip.
TEST(DeviceView, SerialPartShowsNoPageAndScrollingReadsNothing) {
    ChipBench bench(6, "24C16");
    auto& f = bench.p().form;
    bench.p().display.DisplayPageMemory();  // the code buffer's page is on screen
    ASSERT_FALSE(f.BufferDisplay.text.empty());
    const auto reads = bench.ports.PortReads();
    f.Display_button.Click();
    EXPECT_EQ(f.Frame3.caption, "Device Memory Hex/Ascii Display");
    EXPECT_EQ(f.BufferDisplay.text, "");
    f.VScroll1.SetValue(3);
    EXPECT_EQ(f.BufferDisplay.text, "");
    EXPECT_EQ(bench.ports.PortReads(), reads) << "the chip was read as a parallel part";
}

TEST(DeviceView, EmptySocketShowsWhatTheFloatingBusReads) {
    ChipBench bench(5);
    bench.board.RemoveChip();
    bench.p().form.Display_button.Click();
    EXPECT_EQ(Line(bench.p().form.BufferDisplay.text, 0), "000000| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
}

}  // namespace
}  // namespace moltrix::testing
