// Address loads through the line maps, the CE/OE lines, and the read-back of a
// byte through the status lines, watched at the port.
#include <gtest/gtest.h>

#include <map>

#include "devices/catalog.h"
#include "support/rig.h"

namespace moltrix::board {
namespace {

// Register latches seen at the port: the data byte present when a register's
// pulse code appears on the control port (model-5/6 codes).
std::vector<std::pair<int, int>> Latches(const testing::RecordingPort& port) {
    static const std::map<int, int> kPulse = {{0x04, 0}, {0x0C, 1}, {0x06, 2}, {0x0E, 3}, {0x00, 4}};
    std::vector<std::pair<int, int>> out;
    int data = -1;
    for (const auto& a : port.log) {
        if (!a.write) continue;
        if (a.port == 0x378) data = a.value;
        if (a.port == 0x37A)
            if (auto it = kPulse.find(a.value); it != kPulse.end()) out.emplace_back(it->second, data);
    }
    return out;
}

class AddressBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        p().Form_Load();  // no board answers; the probe finds nothing
        ForceModel(5);
    }
    void ForceModel(int model) {
        p().regs.PortBase = 0x378;
        (model == 4 ? p().form.ForceMoltrix4 : p().form.ForceMoltrix5).Click();
    }
    // Makes a catalogue row selectable (for type codes the catalogue refuses) and selects it.
    void Select(int row) {
        p().catalog.DeviceCatalog[static_cast<std::size_t>(row)][devices::CatSupported] = "Y";
        p().catalog.FillDeviceList();
        p().form.Device.SetListIndex(row);
        rig.recordingPort.log.clear();
    }
    void LoadAt(std::int32_t address) {
        p().addr.Address = address;
        p().addr.Endereco2Adr();
        p().addr.SETADR();
    }
    Programmer& p() { return rig.p(); }
    testing::Rig rig;
};

TEST_F(AddressBusTest, FlashTypesPutA18OnTheA19Line) {
    // Register-3 bit 2 is the 29F0x0 write enable, held high by the catalogue.
    const struct {
        int row;  // "FL" (refused in the list, same wiring) and "FM"
        std::int32_t address;
        int low3;
    } cases[] = {
        {24, 0x00000, 0x4}, {24, 0x10000, 0x1 | 0x4}, {24, 0x30000, 0x3 | 0x4}, {24, 0x40000, 0x8 | 0x4},
        {24, 0x7FFFF, 0xB | 0x4}, {27, 0x40000, 0x8 | 0x4}, {27, 0x50000, 0x9 | 0x4},
        {19, 0x40000, 0x4 | 0x8},  // the 27C040 keeps A18 on bit 2 (and holds A19 high)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Select(c.row);
        LoadAt(c.address);
        EXPECT_EQ(p().regs.Reg3 & 0x0F, c.low3);
        EXPECT_EQ(p().regs.Reg2, c.address & 0xFF);
        ASSERT_EQ(Latches(rig.recordingPort).size(), 3u);
        EXPECT_EQ(Latches(rig.recordingPort)[2], std::make_pair(3, static_cast<int>(p().regs.Reg3)));
    }
}

TEST_F(AddressBusTest, XicorPutsA14OnTheA15Line) {
    Select(33);  // X28C256: register-1 bit 6 is its write enable, held high
    const struct {
        std::int32_t address;
        int reg1;
    } cases[] = {{0x0000, 0x40}, {0x3FFF, 0x7F}, {0x4000, 0xC0}, {0x7FFF, 0xFF}, {0x8000, 0xC0}, {0x0100, 0x41}};
    for (const auto& c : cases) {
        LoadAt(c.address);
        EXPECT_EQ(p().regs.Reg1, c.reg1) << std::hex << c.address;
    }
}

TEST_F(AddressBusTest, LoadWritesRegistersOneTwoThreeAndKeepsCeAndRegister4Bits) {
    Select(11);  // 27C256: A15 line held high, A17 held high
    p().addr.CEON();
    p().regs.REG4OFF();
    rig.recordingPort.log.clear();
    LoadAt(0x1234);
    EXPECT_EQ(Latches(rig.recordingPort), (std::vector<std::pair<int, int>>{{1, 0x12 | 0x80}, {2, 0x34}, {3, 0x40 | 0x02}}));
}

TEST_F(AddressBusTest, XicorLoadWritesOnlyRegistersThatChange) {
    Select(33);
    p().regs.Reset();
    rig.recordingPort.log.clear();
    auto load = [&](std::int32_t a) {
        rig.recordingPort.log.clear();
        p().addr.Address = a;
        p().addr.Endereco2Adr();
        p().addr.SETADR_XICOR();
        return Latches(rig.recordingPort);
    };
    using L = std::vector<std::pair<int, int>>;
    // After Reset register 3 holds C6h (bit 2 set); an address load clears bit 2.
    EXPECT_EQ(load(0x0000), (L{{3, 0xC2}}));
    EXPECT_EQ(load(0x0000), L{});
    EXPECT_EQ(load(0x0001), (L{{2, 0x01}}));
    EXPECT_EQ(load(0x0100), (L{{1, 0x41}, {2, 0x00}}));
    EXPECT_EQ(load(0x01FF), (L{{2, 0xFF}}));
    EXPECT_EQ(load(0x4000), (L{{1, 0x80 | 0x40}, {2, 0x00}}));
    EXPECT_EQ(load(0x0000), (L{{1, 0x40}}));
}

TEST_F(AddressBusTest, IncAdrCarriesWithoutTouchingTheBoard) {
    p().addr.Address = 0xFFFF;
    p().addr.Endereco2Adr();
    rig.recordingPort.log.clear();
    p().addr.IncADR();
    EXPECT_EQ(p().addr.Address, 0x10000);
    EXPECT_EQ((std::vector<int>{p().addr.AdrHigh, p().addr.AdrMid, p().addr.AdrLow}), (std::vector<int>{1, 0, 0}));
    p().addr.IncADR();
    EXPECT_EQ(p().addr.AdrLow, 1);
    EXPECT_TRUE(rig.recordingPort.log.empty());
}

TEST_F(AddressBusTest, OutputEnableClearsTheProgrammingVoltageToo) {
    p().regs.VPP24_ON();
    p().addr.OEON();
    EXPECT_EQ(p().regs.Reg0 & 0xC0, 0x00);
    p().addr.OEOFF();
    EXPECT_EQ(p().regs.Reg0 & 0xC0, 0x40);
    p().addr.CEOEON();
    EXPECT_EQ(p().regs.Reg3 & 0x80, 0);
    EXPECT_EQ(p().regs.Reg0 & 0x40, 0);
    p().addr.CEOEOFF();
    EXPECT_EQ(p().regs.Reg3 & 0x80, 0x80);
    EXPECT_EQ(p().regs.Reg0 & 0x40, 0x40);
}

// Status lines as the board drives them for a data nibble n (bit 0 first).
// Model 4: n0 on bit 6, n1 on BUSY (bit 7, which the port shows inverted),
// n2 on bit 5, n3 on bit 4. Models 5 and 6: n0-n3 on bits 3-6. Unused bits read 1.
std::uint8_t StatusModel4(int n) {
    int s = 0x0F;
    if (n & 1) s |= 0x40;
    if (!(n & 2)) s |= 0x80;
    if (n & 4) s |= 0x20;
    if (n & 8) s |= 0x10;
    return static_cast<std::uint8_t>(s);
}
std::uint8_t StatusModel56(int n) { return static_cast<std::uint8_t>(0x87 | (n << 3)); }

TEST_F(AddressBusTest, ReadBackDecodesEveryByteForEachModel) {
    for (int model : {4, 5}) {
        ForceModel(model);
        auto& port = rig.recordingPort;
        const std::uint8_t selLow = model == 4 ? 0x00 : 0x05, selHigh = model == 4 ? 0x04 : 0x01;
        for (int byte = 0; byte < 256; ++byte) {
            auto status = model == 4 ? StatusModel4 : StatusModel56;
            port.log.clear();
            port.reads = {status(byte & 0x0F), status(byte >> 4)};
            p().addr.GetNibbles();
            ASSERT_EQ(p().addr.DataIn, byte) << "model " << model;
            using A = testing::RecordingPort::Access;
            ASSERT_EQ(port.log, (std::vector<A>{{true, 0x37A, selLow}, {false, 0x379, status(byte & 0x0F)},
                                                {true, 0x37A, selHigh}, {false, 0x379, status(byte >> 4)}}));
        }
    }
}

TEST_F(AddressBusTest, AllZeroStatusReadsDecodeDifferentlyPerModel) {
    const struct {
        int model;
        int data;
    } cases[] = {{4, 0x22}, {5, 0x00}};
    for (const auto& c : cases) {
        ForceModel(c.model);
        rig.recordingPort.reads = {0x00, 0x00};
        p().addr.GetNibbles();
        EXPECT_EQ(p().addr.DataIn, c.data) << "model " << c.model;
    }
}

TEST_F(AddressBusTest, SerialDataLineArrivesAsBit7) {
    const struct {
        int model;
        std::uint8_t status;
        bool d7;
    } cases[] = {{4, StatusModel4(0x8), true}, {4, StatusModel4(0x7), false},
                 {5, StatusModel56(0x8), true}, {5, StatusModel56(0x7), false}};
    for (const auto& c : cases) {
        ForceModel(c.model);
        rig.recordingPort.log.clear();
        rig.recordingPort.reads = {c.status};
        p().addr.GetNibbles24CXX();
        EXPECT_EQ((p().addr.DataIn & 0x80) != 0, c.d7) << "model " << c.model;
        EXPECT_EQ(rig.recordingPort.log.size(), 2u) << "one select, one read";
    }
}

TEST_F(AddressBusTest, NoModelReadsNothing) {
    p().regs.BoardModel = 0;
    p().addr.DataIn = 0x5A;
    rig.recordingPort.log.clear();
    p().addr.GetNibbles();
    p().addr.GetNibbles24CXX();
    EXPECT_TRUE(rig.recordingPort.log.empty());
    EXPECT_EQ(p().addr.DataIn, 0x5A);
}

}  // namespace
}  // namespace moltrix::board
