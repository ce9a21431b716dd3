// 24Cxx two-wire EEPROMs: SCL = register-3 bit 7, SDA = data line D7 driven
// from register-4 bit 7 while register 4 drives, wired-AND with the chip.
#include <gtest/gtest.h>

#include <vector>

#include "sim/serial_eeprom.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

// A bus master made of register writes. Power: register-0 bit 6 high;
// ground: register-2 bit 0 low; device pins A0-A2 on register-2 bits 3, 2, 1.
class Master {
public:
    explicit Master(SimBench& b, std::uint8_t pins = 0) : b_(b) {
        b_.drv.Set(2, static_cast<std::uint8_t>(((pins & 1) << 3) | ((pins & 2) << 1) | ((pins & 4) >> 1)));
        b_.drv.Set(1, 0x00);  // WP low
        b_.drv.Set(4, 0x80);
        b_.drv.Set(3, 0x80);  // SCL high, register 4 drives SDA high
        b_.drv.Set(0, 0x40);  // power on
        b_.Sleep(2 * kMillisecond);
    }
    void Scl(bool high) { b_.drv.SetBits(3, 0x80, high); }
    void Sda(bool high) {
        b_.drv.Set(4, high ? 0x80 : 0x00);
        b_.drv.SetBits(3, 0x40, false);
    }
    void Release() { b_.drv.SetBits(3, 0x40, true); }
    void Start() {
        Sda(true);
        Scl(true);
        Sda(false);
        Scl(false);
    }
    void Stop() {
        Sda(false);
        Scl(true);
        Sda(true);
        Scl(false);
    }
    bool Send(std::uint8_t byte) {
        for (int i = 7; i >= 0; --i) {
            Sda((byte >> i) & 1);
            Scl(true);
            Scl(false);
        }
        Release();
        const bool ack = !b_.drv.ReadD7();
        Scl(true);
        Scl(false);
        return ack;
    }
    std::uint8_t Receive(bool ack) {
        Release();
        std::uint8_t v = 0;
        for (int i = 0; i < 8; ++i) {
            Scl(true);
            v = static_cast<std::uint8_t>((v << 1) | (b_.drv.ReadD7() ? 1 : 0));
            Scl(false);
        }
        if (ack) Sda(false);
        Scl(true);
        Scl(false);
        Release();
        return v;
    }
    // Random read: dummy write of the address, repeated start, read n bytes.
    std::vector<std::uint8_t> ReadAt(std::uint8_t device, std::vector<std::uint8_t> word, int n) {
        Start();
        EXPECT_TRUE(Send(device));
        for (std::uint8_t w : word) EXPECT_TRUE(Send(w));
        Start();
        EXPECT_TRUE(Send(device | 1));
        std::vector<std::uint8_t> out;
        for (int i = 0; i < n; ++i) out.push_back(Receive(i + 1 < n));
        Stop();
        return out;
    }

private:
    SimBench& b_;
};

TEST(SerialEeprom, PageWriteWithBlockBitsThenNoAckWhileBusy) {
    SimBench b(6, "24C16");
    Master m(b);
    m.Start();
    ASSERT_TRUE(m.Send(0xA0 | (5 << 1)));  // block 5
    ASSERT_TRUE(m.Send(0xF0));
    for (std::uint8_t v : {0x11, 0x22, 0x33}) ASSERT_TRUE(m.Send(v));
    EXPECT_EQ(b.chip->At(0x5F0), 0xFF) << "nothing before the stop";
    m.Stop();
    m.Start();
    EXPECT_FALSE(m.Send(0xA0)) << "busy writing";
    m.Stop();
    b.Sleep(5 * kMillisecond);
    m.Start();
    EXPECT_TRUE(m.Send(0xA0));
    m.Stop();
    EXPECT_EQ(b.chip->At(0x5F0), 0x11);
    EXPECT_EQ(b.chip->At(0x5F2), 0x33);
    EXPECT_EQ(b.chip->At(0x0F0), 0xFF);
    const SerialCounters& n = b.board.counters().serial;
    EXPECT_EQ(n.starts, 3u);
    EXPECT_EQ(n.stops, 3u);
    EXPECT_EQ(n.acks, 6u) << "device, address and three data bytes, then the device byte again";
    EXPECT_EQ(n.busy_nacks, 1u);
    EXPECT_EQ(n.stops_lost, 0u);
    EXPECT_EQ(b.board.counters().write_cycles, 1u);
}

TEST(SerialEeprom, WriteCycleIsFiveMillisecondsOrTenAtTheMaximum) {
    for (TimingCorner corner : {TimingCorner::Typical, TimingCorner::Maximum}) {
        const Nanos cycle = corner == TimingCorner::Maximum ? 10 * kMillisecond : 5 * kMillisecond;
        SimBench b(6, "24C08", 1, corner);
        Master m(b);
        m.Start();
        ASSERT_TRUE(m.Send(0xA0));
        ASSERT_TRUE(m.Send(0x10));
        ASSERT_TRUE(m.Send(0x42));
        m.Stop();
        b.Sleep(cycle - 200 * kMicrosecond);
        m.Start();
        EXPECT_FALSE(m.Send(0xA0)) << "still writing";
        m.Stop();
        b.Sleep(200 * kMicrosecond);
        m.Start();
        EXPECT_TRUE(m.Send(0xA0));
        m.Stop();
        EXPECT_EQ(b.chip->At(0x10), 0x42);
    }
}

// A stop made while the chip holds SDA low (inside its acknowledge) never
// reaches the line; nor does one the chip has no power to see.
TEST(SerialEeprom, StopTheChipCannotTakeIsLost) {
    SimBench b(6, "24C16");
    Master m(b);
    const SerialCounters& n = b.board.counters().serial;
    m.Start();
    for (int i = 7; i >= 0; --i) {  // device byte A0h, without the 9th clock
        m.Sda((0xA0 >> i) & 1);
        m.Scl(true);
        m.Scl(false);
    }
    m.Release();
    m.Scl(true);  // the chip acknowledges through this clock
    m.Sda(false);
    m.Sda(true);  // the stop
    EXPECT_EQ(n.stops_lost, 1u);
    EXPECT_EQ(n.stops, 0u);
    m.Scl(false);
    m.Release();
    m.Stop();
    EXPECT_EQ(n.stops, 1u);

    b.drv.Set(0, 0x00);  // power off
    m.Start();
    m.Stop();
    EXPECT_EQ(n.stops_lost, 2u);
    EXPECT_EQ(n.starts, 1u);
}

TEST(SerialEeprom, PageWriteWrapsInsideThePage) {
    struct Case {
        const char* part;
        std::uint32_t page;
        std::vector<std::uint8_t> address;
        std::uint32_t start;
    };
    for (const Case& c : {Case{"24C08", 16, {0x0C}, 0x00C}, Case{"24C32", 32, {0x0A, 0x1C}, 0xA1C}}) {
        SimBench b(5, c.part);
        Master m(b);
        m.Start();
        ASSERT_TRUE(m.Send(0xA0));
        for (std::uint8_t a : c.address) ASSERT_TRUE(m.Send(a));
        const std::uint32_t n = c.page + 4;
        for (std::uint32_t i = 0; i < n; ++i) ASSERT_TRUE(m.Send(static_cast<std::uint8_t>(i)));
        m.Stop();
        b.Sleep(6 * kMillisecond);
        const std::uint32_t base = c.start & ~(c.page - 1);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t at = base + ((c.start + i) & (c.page - 1));
            if (i + c.page >= n) {  // the last write to each cell wins
                EXPECT_EQ(b.chip->At(at), i) << c.part << " byte " << i;
            }
        }
        EXPECT_EQ(b.chip->At(base + c.page), 0xFF) << c.part << ": next page untouched";
    }
}

TEST(SerialEeprom, DevicePinsMustMatchTheDeviceByte) {
    struct Case {
        const char* part;
        std::uint8_t pins;      // A0-A2 pin levels
        std::uint8_t device;    // device byte sent
        bool ack;
    };
    for (const Case& c : {Case{"24C08", 0, 0xA8, false}, Case{"24C08", 4, 0xA8, true},
                          Case{"24C08", 0, 0xA6, true},  // a9 a8 are address bits
                          Case{"24C16", 7, 0xAE, true}, Case{"24C32", 0, 0xA2, false},
                          Case{"24C32", 5, 0xAA, true}, Case{"24C32", 5, 0xA0, false}}) {
        SimBench b(6, c.part);
        Master m(b, c.pins);
        m.Start();
        EXPECT_EQ(m.Send(c.device), c.ack) << c.part << " pins " << int(c.pins) << " " << int(c.device);
        m.Stop();
        m.Start();
        EXPECT_FALSE(m.Send(0x50)) << "not a 1010 device byte";
        m.Stop();
    }
}

TEST(SerialEeprom, SequentialReadCrossesBlocksAndRollsOver) {
    SimBench b(6, "24C08");
    for (std::uint32_t a = 0; a < 1024; ++a) b.chip->Memory()[a] = static_cast<std::uint8_t>(a ^ (a >> 8));
    Master m(b);
    const auto across = m.ReadAt(0xA0 | (1 << 1), {0xFE}, 4);  // 1FEh..201h
    EXPECT_EQ(across, (std::vector<std::uint8_t>{0xFF, 0xFE, 0x02, 0x03}));
    const auto wrap = m.ReadAt(0xA0 | (3 << 1), {0xFF}, 2);  // 3FFh then 0
    EXPECT_EQ(wrap, (std::vector<std::uint8_t>{0xFC, 0x00}));
    // Current address read carries on from where the last one stopped.
    m.Start();
    ASSERT_TRUE(m.Send(0xA1));
    EXPECT_EQ(m.Receive(false), 0x01);
    m.Stop();
}

TEST(SerialEeprom, WriteProtectNeverAckFaultAndPowerLoss) {
    {
        SimBench b(6, "24C16");
        Master m(b);
        b.drv.Set(1, 0x04);  // WP high
        m.Start();
        EXPECT_TRUE(m.Send(0xA0));
        EXPECT_TRUE(m.Send(0x10));
        EXPECT_TRUE(m.Send(0x00));
        m.Stop();
        b.Sleep(6 * kMillisecond);
        EXPECT_EQ(b.chip->At(0x10), 0xFF);
        EXPECT_EQ(b.board.counters().writes_ignored[BoardCounters::kProtected], 1u);
        EXPECT_EQ(b.board.counters().write_cycles, 0u);
    }
    {
        SimBench b(6, "24C16");
        b.As<SerialEeprom>().settings.never_ack = true;
        Master m(b);
        m.Start();
        EXPECT_FALSE(m.Send(0xA0));
        m.Stop();
    }
    {
        SimBench b(6, "24C32");
        Master m(b);
        m.Start();
        ASSERT_TRUE(m.Send(0xA0));
        ASSERT_TRUE(m.Send(0x00));
        ASSERT_TRUE(m.Send(0x20));
        ASSERT_TRUE(m.Send(0x99));
        m.Stop();
        b.drv.Set(0, 0x00);  // power off in the middle of the write cycle
        b.Sleep(10 * kMillisecond);
        b.drv.Set(0, 0x40);
        EXPECT_EQ(b.chip->At(0x20), 0xFF) << "the cycle needs power to its end";
        m.Start();
        EXPECT_FALSE(m.Send(0xA0)) << "not ready yet after power-up";
        m.Stop();
        b.Sleep(1 * kMillisecond);
        m.Start();
        EXPECT_TRUE(m.Send(0xA0));
        m.Stop();
    }
}

TEST(SerialEeprom, ChipThatNeverComesUpNeverAnswers) {
    SimBench b(6, "24C16");
    b.As<SerialEeprom>().settings.power_up = kNever;
    Master m(b);  // switches the power on
    m.Start();
    EXPECT_FALSE(m.Send(0xA0));
    m.Stop();
    b.Sleep(3'600'000 * kMillisecond);
    m.Start();
    EXPECT_FALSE(m.Send(0xA0)) << "still not after an hour";
    m.Stop();
}

TEST(SerialEeprom, StuckDataLinesShowInTheBitsShiftedOut) {
    SimBench b(6, "24C16");
    b.chip->Memory()[0x10] = 0x5A;
    b.chip->Memory()[0x11] = 0x0F;
    b.chip->stuck_at_0 = 0x02;
    b.chip->stuck_at_1 = 0x80;
    Master m(b);
    EXPECT_EQ(m.ReadAt(0xA0, {0x10}, 2), (std::vector<std::uint8_t>{0xD8, 0x8D}));
    EXPECT_EQ(b.chip->At(0x10), 0x5A) << "the cell itself is intact";
}

TEST(SerialEeprom, EmptySocketNeverAcknowledges) {
    SimBench b(6, "24C16");
    b.board.RemoveChip();
    Master m(b);
    m.Start();
    EXPECT_FALSE(m.Send(0xA0));
}

}  // namespace
}  // namespace moltrix::sim
