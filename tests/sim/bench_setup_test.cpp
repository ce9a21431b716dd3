// The one-line bench set-up text, chip image files, and the socket table.
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "sim/bench.h"
#include "sim/bench_setup.h"
#include "sim/device_models.h"
#include "sim/eprom.h"
#include "sim/jedec_flash.h"
#include "sim/page_eeprom.h"
#include "sim/serial_eeprom.h"
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

    // The help text's example is a set-up the bench takes.
    const std::string help = kBenchSetupHelp;
    const std::size_t example = help.find("Example: ");
    ASSERT_NE(example, std::string::npos);
    const std::string text = help.substr(example + 9, help.find('\n', example) - example - 9);
    const BenchSetup from_help = ParseBenchSetup(text);
    EXPECT_TRUE(from_help.ok()) << text << ": " << from_help.error;
    EXPECT_EQ(from_help.boards.size(), 2u);
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
                          Case{"6@378,,5@278", "empty entry"},
                          Case{"speed=1us", "unknown bench setting 'speed'"},
                          Case{"6@378,access=1.5", "not a number with a unit"},
                          Case{"pass=0.5ns", "whole number of nanoseconds"},
                          Case{"6@378:27C256;vpp=21", "model 4 only"},
                          Case{"4@378;vpp=13", "vpp '13'"},
                          Case{"4@378;hard", "'hard' needs a chip"},
                          Case{"6@378:27C256;max", "'max' does not apply to the 27C256"},
                          Case{"6@378:AM29F040;hard", "'hard' does not apply"},
                          Case{"6@378:X28C256;noerase", "'noerase' does not apply"},
                          Case{"6@378:24C16;protect", "'protect' does not apply"},
                          Case{"6@378:27C256;noack", "'noack' does not apply"},
                          Case{"6@378:AM29F040;max;typical", "'typical' and 'max' together"},
                          Case{"6@378:27C256;dead=8000", "dead cell '8000'"},
                          Case{"6@378:AM29F040;weak=10:1", "'weak' does not apply"},
                          Case{"6@378:24C16;drift=3", "'drift' does not apply"},
                          Case{"6@378:27C256;weak=8000:1", "weak bit address '8000'"},
                          Case{"6@378:27C256;weak=10:8", "weak bit '8' is not a bit 0 to 7"},
                          Case{"6@378:27C256;weak=10", "not ADDR:BIT"},
                          Case{"6@378:27C256;drift=0", "drift '0'"},
                          Case{"6@378:27C256;drift=-2", "drift '-2'"},
                          Case{"6@378:27C256;stuck0=100", "stuck0 mask '100'"},
                          Case{"6@378:27C256;seed=x", "seed 'x'"},
                          Case{"6@378:27C256;bogus", "unknown board option 'bogus'"},
                          Case{"6@378:27C256;hard=1", "takes no value"},
                          Case{"6@378:27C256;dead", "needs a value"},
                          Case{"6@378:27C256=a.bin;", "empty option"}}) {
        const BenchSetup s = ParseBenchSetup(c.text);
        EXPECT_FALSE(s.ok()) << c.text;
        EXPECT_NE(s.error.find(c.names), std::string::npos) << c.text << " -> " << s.error;
        EXPECT_TRUE(s.boards.empty());
        EXPECT_FALSE(s.access_time || s.pass_time);
    }
}

TEST(BenchSetupText, TimesTakeDecimalsAndEveryUnit) {
    struct Case {
        const char* text;
        Nanos access;
    };
    for (const Case& c : {Case{"access=1.5us", 1500}, Case{"access=20ns", 20}, Case{"access=2\xC2\xB5s", 2000},
                          Case{"access=0.001ms", 1000}, Case{"access=1s", kSecond},
                          Case{"access = 0.5 us", 500}, Case{"access=.25us", 250}}) {
        const BenchSetup s = ParseBenchSetup(c.text);
        ASSERT_TRUE(s.ok()) << c.text << ": " << s.error;
        EXPECT_EQ(s.access_time, c.access) << c.text;
        EXPECT_TRUE(s.boards.empty());
    }
}

TEST(BenchSetupText, OptionsReachTheBoardsTheChipsAndTheClock) {
    SimulatedPorts ports;
    const BenchSetup s = ParseBenchSetup(
        "4@378:27C256=x.bin;vpp=21;hard;dead=1F00;dead=0x10;stuck0=02;stuck1=80h;weak=7FFF:7;weak=0x10:0;drift=12,"
        "5@278:AM29F040;max;noerase;seed=9,6@3BC:X28C256;protect;typical,access=1.5us,pass=20ns");
    ASSERT_TRUE(s.ok()) << s.error;
    EXPECT_EQ(s.boards[0].image, "x.bin") << "the image path ends at the first ';'";
    ASSERT_EQ(ApplyBenchSetup(s, ports), "");
    EXPECT_EQ(ports.Time().access_time, 1500u);
    EXPECT_EQ(ports.Time().pass_time, 20u);

    Board& eprom_board = *ports.BoardAt(0x378);
    EXPECT_EQ(eprom_board.model4_vpp_tenths, 210);
    auto& eprom = *dynamic_cast<Eprom*>(eprom_board.chip());
    EXPECT_TRUE(eprom.settings.hard);
    EXPECT_EQ(eprom.settings.programming.vpp_low_tenths, 125) << "a 27C256 is a 12.5 V part";
    EXPECT_TRUE(eprom.Dead(0x1F00) && eprom.Dead(0x10) && !eprom.Dead(0x11));
    EXPECT_EQ(eprom.stuck_at_0, 0x02);
    EXPECT_EQ(eprom.stuck_at_1, 0x80);
    EXPECT_TRUE(eprom.Weak(0x7FFF, 7) && eprom.Weak(0x10, 0) && !eprom.Weak(0x10, 1));
    EXPECT_EQ(s.boards[0].chip.drift, 12u);

    auto& flash = *dynamic_cast<JedecFlash*>(ports.BoardAt(0x278)->chip());
    EXPECT_EQ(flash.settings.program_time, kFlashProgramMax);
    EXPECT_EQ(flash.settings.erase_time, kNever);
    EXPECT_EQ(flash.settings.seed, 9u);
    auto& page = *dynamic_cast<PageEeprom*>(ports.BoardAt(0x3BC)->chip());
    EXPECT_TRUE(page.protection);
    EXPECT_EQ(page.settings.write_cycle, 5 * kMillisecond);

    SimulatedPorts more;
    ASSERT_EQ(ApplyBenchSetup(ParseBenchSetup("6@378:24C16;noack;max,4@278;vpp=25"), more), "");
    auto& serial = *dynamic_cast<SerialEeprom*>(more.BoardAt(0x378)->chip());
    EXPECT_TRUE(serial.settings.never_ack);
    EXPECT_EQ(serial.settings.write_cycle, 10 * kMillisecond);
    EXPECT_EQ(more.BoardAt(0x278)->model4_vpp_tenths, 250);
    EXPECT_EQ(more.BoardAt(0x278)->chip(), nullptr);
    EXPECT_EQ(more.Time().access_time, SimTime::kDefaultAccessTime);
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

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::uint64_t ZeroBits(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t n = 0;
    for (std::uint8_t b : bytes) n += static_cast<unsigned>(std::popcount(static_cast<std::uint8_t>(~b)));
    return n;
}

TEST(BenchSetupText, DriftLeaksTheImagesZeroBitsForGoodAndTheSavedImageKeepsThem) {
    const std::string image = TempFile("drift.bin").string();
    std::vector<std::uint8_t> before(32 * 1024);
    for (std::uint32_t i = 0; i < before.size(); ++i) before[i] = static_cast<std::uint8_t>(Mix(i) >> 56);
    WriteFile(image, before);
    SimulatedPorts ports, same, other;
    const auto load = [&](SimulatedPorts& p, const char* options) -> Eprom& {
        EXPECT_EQ(ApplyBenchSetup(ParseBenchSetup("6@378:27C256=" + image + options), p), "");
        return *dynamic_cast<Eprom*>(p.BoardAt(0x378)->chip());
    };
    const Eprom& eprom = load(ports, ";drift=300;seed=5");
    const std::vector<std::uint8_t>& after = eprom.Memory();
    EXPECT_EQ(ZeroBits(after), ZeroBits(before) - 300);
    for (std::uint32_t i = 0; i < before.size(); ++i) ASSERT_EQ(before[i] & ~after[i], 0) << "only 0 to 1, at " << i;
    ASSERT_EQ(eprom.drifted().size(), 300u);
    int low_half = 0;
    for (std::size_t k = 0; k < eprom.drifted().size(); ++k) {
        const CellBit& d = eprom.drifted()[k];
        EXPECT_EQ(before[d.address] >> d.bit & 1, 0);
        EXPECT_EQ(after[d.address] >> d.bit & 1, 1);
        if (k > 0) {
            const CellBit& p = eprom.drifted()[k - 1];
            EXPECT_TRUE(p.address < d.address || (p.address == d.address && p.bit < d.bit)) << "address order";
        }
        low_half += d.address < before.size() / 2;
    }
    EXPECT_NEAR(low_half, 150, 40) << "picked across the whole chip";
    EXPECT_EQ(load(same, ";seed=5;drift=300").drifted(), eprom.drifted());
    EXPECT_NE(load(other, ";drift=300;seed=6").drifted(), eprom.drifted());

    ASSERT_EQ(SaveImages(ports), "");
    EXPECT_EQ(ReadFile(image), after);

    // Fewer 0 bits than asked for: all of them leak.
    std::vector<std::uint8_t> few(32 * 1024, 0xFF);
    few[0x1234] = 0xA5;
    WriteFile(image, few);
    SimulatedPorts all;
    const Eprom& leaked = load(all, ";drift=100");
    EXPECT_EQ(leaked.drifted().size(), 4u);
    EXPECT_EQ(ZeroBits(leaked.Memory()), 0u);
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
        EXPECT_EQ(m.eprom != nullptr, p->family == ChipFamily::Eprom) << m.name << ": programming group";
    }
}

}  // namespace
TEST(Bench, EachBenchKeepsItsBoardSetUpFileInAFolderNamedAfterItsBoards) {
    std::string error;
    auto one = OpenBench("6@378:27C256", false, error);
    auto two = OpenBench("4@3BC:SB,5@278", false, error);
    ASSERT_TRUE(one && two) << error;
    EXPECT_EQ(one->BoardIniDir("/home/op/.config/MOLTRIX6"), "/home/op/.config/MOLTRIX6/bench/6-378");
    EXPECT_EQ(two->BoardIniDir("/cfg"), "/cfg/bench/4-3BC_5-278");
}

}  // namespace moltrix::sim
