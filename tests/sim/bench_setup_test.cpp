// The one-line bench set-up text, chip image files, and the socket table.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "sim/bench_setup.h"
#include "sim/device_models.h"
#include "sim/page_eeprom.h"
#include "sim/socket_profile.h"
#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::TempFile;

TEST(BenchSetupText, WellFormedSetUps) {
    const BenchSetup one = ParseBenchSetup("6@378:27C256=chip.bin");
    ASSERT_TRUE(one.ok()) << one.error;
    ASSERT_EQ(one.boards.size(), 1u);
    EXPECT_EQ(one.boards[0].model, 6);
    EXPECT_EQ(one.boards[0].port, 0x378);
    EXPECT_EQ(one.boards[0].device, "27C256");
    EXPECT_EQ(one.boards[0].image, "chip.bin");

    const BenchSetup many = ParseBenchSetup(" 5@278 , 4@0x3BC:SB, 6@378h:am29f040 ");
    ASSERT_TRUE(many.ok()) << many.error;
    ASSERT_EQ(many.boards.size(), 3u);
    EXPECT_EQ(many.boards[0].device, "");
    EXPECT_EQ(many.boards[1].port, 0x3BC);
    EXPECT_EQ(many.boards[1].device, "SB");
    EXPECT_EQ(many.boards[2].port, 0x378);
}

TEST(BenchSetupText, MalformedTextNamesTheFault) {
    struct Case {
        const char* text;
        const char* names;  // part of the error text
    };
    for (const Case& c : {Case{"", "empty"}, Case{"6-378", "no '@'"}, Case{"7@378", "model '7'"},
                          Case{"6@379", "port '379'"}, Case{"6@xyz", "port 'xyz'"},
                          Case{"6@378:27C999", "unknown device '27C999'"},
                          Case{"6@378:", "no device"}, Case{"6@378:P4=", "no image file"},
                          Case{"6@378,5@378", "two boards on port 378"},
                          Case{"6@378,,5@278", "empty board entry"}}) {
        const BenchSetup s = ParseBenchSetup(c.text);
        EXPECT_FALSE(s.ok()) << c.text;
        EXPECT_NE(s.error.find(c.names), std::string::npos) << c.text << " -> " << s.error;
        EXPECT_TRUE(s.boards.empty());
    }
}

TEST(BenchSetupText, ChipContentsSurviveBetweenRunsInTheImageFile) {
    const std::string image = TempFile("chip.bin").string();
    std::filesystem::remove(image);
    {
        SimulatedPorts ports;
        ASSERT_EQ(ApplyBenchSetup(ParseBenchSetup("5@278:AM29F010=" + image), ports), "");
        Chip* chip = ports.BoardAt(0x278)->chip();
        ASSERT_NE(chip, nullptr);
        EXPECT_EQ(chip->Size(), 128u * 1024);
        EXPECT_EQ(chip->At(7), 0xFF) << "no file yet: erased chip";
        chip->Memory()[7] = 0x42;
        ASSERT_EQ(SaveImages(ports), "");
    }
    EXPECT_EQ(std::filesystem::file_size(image), 128u * 1024);
    SimulatedPorts ports;
    ASSERT_EQ(ApplyBenchSetup(ParseBenchSetup("6@378:FS=" + image), ports), "");
    EXPECT_EQ(ports.BoardAt(0x378)->chip()->At(7), 0x42);
    EXPECT_EQ(ports.BoardAt(0x278), nullptr);
}

TEST(BenchSetupText, PageEepromWriteProtectionSurvivesBetweenRuns) {
    const std::string image = TempFile("eeprom.bin").string();
    std::filesystem::remove(image);
    std::filesystem::remove(Chip::StatePath(image));
    {
        SimulatedPorts ports;
        ASSERT_EQ(ApplyBenchSetup(ParseBenchSetup("6@378:X28C256=" + image), ports), "");
        auto* chip = dynamic_cast<PageEeprom*>(ports.BoardAt(0x378)->chip());
        ASSERT_NE(chip, nullptr);
        EXPECT_FALSE(chip->protection);
        chip->protection = true;
        ASSERT_EQ(SaveImages(ports), "");
    }
    EXPECT_EQ(std::filesystem::file_size(image), 32u * 1024);  // the image stays a raw image
    SimulatedPorts ports;
    ASSERT_EQ(ApplyBenchSetup(ParseBenchSetup("6@378:X28C256=" + image), ports), "");
    auto* chip = dynamic_cast<PageEeprom*>(ports.BoardAt(0x378)->chip());
    ASSERT_NE(chip, nullptr);
    EXPECT_TRUE(chip->protection);
}

TEST(SocketProfiles, TableIsCompleteAndConsistent) {
    const std::set<std::string_view> expected{"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9",
                                              "FS", "FR", "FM", "FL", "FA", "EN", "SA", "SB", "SC"};
    std::set<std::string_view> seen;
    for (const SocketProfile& p : SocketProfiles()) {
        EXPECT_TRUE(seen.insert(p.type).second) << "duplicate " << p.type;
        EXPECT_EQ(FindSocketProfile(p.type), &p);
        if (p.family == ChipFamily::SerialEeprom) {
            EXPECT_TRUE(p.scl.Wired() && p.power.Wired()) << p.type;
            continue;
        }
        // The address lines cover exactly the part.
        EXPECT_EQ(1u << (p.address_lines + (p.a14.Wired() ? 1 : 0)), p.size) << p.type;
        int high = 0;
        for (const BoardLine& l : p.a16_a19) high += l.Wired();
        EXPECT_EQ(high, p.address_lines > 16 ? p.address_lines - 16 : 0) << p.type;
        // Lines held high never double as address lines of the part.
        const unsigned reg1_address = p.address_lines >= 16 ? 0xFF : ((1u << p.address_lines) - 1) >> 8;
        EXPECT_EQ(p.reg1_held_high & reg1_address, 0u) << p.type;
        if (p.a14.Wired()) {
            EXPECT_EQ(p.reg1_held_high & (1u << p.a14.bit), 0u) << p.type;
        }
        if (p.strobe.Wired() && p.strobe.reg == 1) {
            EXPECT_NE(p.reg1_held_high & (1u << p.strobe.bit), 0u) << p.type << ": strobe rests high";
        }
        if (p.strobe.Wired() && p.strobe.reg == 3) {
            EXPECT_NE(p.reg3_held_high & (1u << p.strobe.bit), 0u) << p.type << ": strobe rests high";
        }
        // EPROMs need a programming voltage and a strobe; the 5 V parts need neither voltage.
        if (p.family == ChipFamily::Eprom) {
            EXPECT_GE(p.vpp_route_bit, 4) << p.type;
            EXPECT_TRUE(p.ce_pulse || p.strobe.Wired()) << p.type;
        } else {
            EXPECT_EQ(p.vpp_route_bit, -1) << p.type;
            EXPECT_TRUE(p.strobe.Wired()) << p.type;
        }
    }
    EXPECT_EQ(seen, expected);
    // Every catalogue part has a row, and a chip of the row's size.
    for (const DeviceModel& m : DeviceModels()) {
        const SocketProfile* p = FindSocketProfile(m.type);
        ASSERT_NE(p, nullptr) << m.name;
        EXPECT_EQ(MakeChip(m)->Size(), p->size) << m.name;
    }
}

}  // namespace
}  // namespace moltrix::sim
