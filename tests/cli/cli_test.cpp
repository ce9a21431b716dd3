// moltrix-cli end to end: the program itself, run on a simulated bench whose
// chip image file persists between invocations.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "support/rig.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    // Runs moltrix-cli in the test's folder, with the folder as its home (the
    // bench's set-up file lands there). Standard input is empty, or the file
    // `pipeIn` through a pipe; with `pipeOut` standard output is a pipe too
    // (and the status then is that of the pipe's reader).
    CliRun Invoke(const std::string& args, const std::string& pipeIn = "", bool pipeOut = false) {
        const auto d = dir.path().string();
        const std::string command = "cd '" + d + "' && " + (pipeIn.empty() ? "" : "cat '" + pipeIn + "' | ") +
                                    "HOME='" + d + "' XDG_CONFIG_HOME= timeout 60 '" MOLTRIX_CLI "' " + args +
                                    (pipeIn.empty() ? " </dev/null" : "") +
                                    (pipeOut ? " 2>err.txt | cat >out.txt" : " >out.txt 2>err.txt");
        const int raw = std::system(command.c_str());
        CliRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = FileText(dir.path() / "out.txt");
        r.err = FileText(dir.path() / "err.txt");
        return r;
    }
    void WriteChip(const std::string& name, unsigned seed, std::size_t size = 0x8000) {
        std::string bytes(size, '\0');
        std::mt19937 gen(seed);
        for (char& c : bytes) c = static_cast<char>(gen());
        std::FILE* f = std::fopen((dir.path() / name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    // Standard output before the checksums that close it.
    static std::string BeforeChecksums(const std::string& out) { return out.substr(0, out.find("Checksums of the ")); }
    TempDir dir;
    const std::string bench = "--simulate '6@378:27C256=chip.bin' --device 27C256 ";
};

TEST_F(Cli, ListAndUsageErrors) {
    CliRun r = Invoke("list");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, " 11  Eprom 27C256 ")) << r.out;
    EXPECT_TRUE(Has(r.out, "Eprom 2716                      P1        4 KB  (refused)")) << r.out;

    r = Invoke("--simulate 6@378 --device 27C25 read x.bin");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "close matches:\n  Eprom 27C256")) << r.err;
    EXPECT_EQ(Invoke("--simulate 6@378 --device 2716 blank").status, 2);
    EXPECT_EQ(Invoke(bench + "read").status, 2);
    EXPECT_EQ(Invoke("--simulate 6@378 blank").status, 2) << "blank needs a device";
    EXPECT_EQ(Invoke("frobnicate").status, 2);
    r = Invoke("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "5  the device does not verify with the file")) << r.out;
    for (const char* pulse : {"0", "100001", "12us", "sheet"}) EXPECT_EQ(Invoke(bench + "--pulse " + pulse + " blank").status, 2) << pulse;

    // What a pass of the loop costs, where a bug report finds it.
    r = Invoke("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "moltrix-cli " MOLTRIX_VERSION "\nbusy-wait loop: ")) << r.out;
    EXPECT_TRUE(Has(Invoke("--simulate '6@378,pass=5ns' probe").err,
                    "bench busy-wait loop: 5.00 ns a pass (board delays count 20 ns a pass)"));
}

TEST_F(Cli, ProbeFindsTheBoardOrSaysNone) {
    EXPECT_EQ(Invoke("--simulate 5@278 probe").status, 0);
    CliRun r = Invoke("--simulate 5@278 --port 378 probe");
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(Has(r.out, "Port 378 Not Responding")) << r.out;

    // A card's port: found after the three standard ports, and told once.
    const std::string card = "--simulate '6@D010:27C256' ";
    r = Invoke(card + "probe");
    EXPECT_EQ(r.status, 0);
    std::string lines;
    for (std::size_t at = 0; at < r.out.size();) {  // without the time stamps
        const std::size_t end = r.out.find('\n', at);
        const std::size_t text = r.out.find(">  ", at);
        lines += r.out.substr(text + 3, end - text - 3) + "|";
        at = end + 1;
    }
    EXPECT_EQ(lines, "Port 278 Not Responding|Port 378 Not Responding|Port 3BC Not Responding|"
                     "Port Selection changed to D010h|MOLTRIX-6 Device was FOUND at Port: D010|");
    EXPECT_EQ(Invoke(card + "--port d010h --device 27C256 blank").status, 0);
    r = Invoke(card + "--port /dev/parport1 probe");
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(Has(r.err, "This PC has no parallel port /dev/parport1. The parallel ports of this PC: 378h, 278h, "
                           "3BCh, D010h.")) << r.err;
    EXPECT_EQ(Invoke(card + "--port 37Z probe").status, 2);

    // The bench's ports are listed without a probe.
    r = Invoke(card + "ports");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "bench port 378h: no board\nbench port 278h: no board\nbench port 3BCh: no board\n"
                     "bench port D010h: MOLTRIX-6 board, 27C256 in the socket\n");
    EXPECT_TRUE(Has(Invoke(card + "ports --probe").out, "socket must be empty.\n"));
}

TEST_F(Cli, ReadVerifyBlankDisplayAndExportOnAChipThatPersists) {
    WriteChip("chip.bin", 3);
    CliRun r = Invoke(bench + "read copy.bin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FileText(dir.path() / "copy.bin"), FileText(dir.path() / "chip.bin"));
    EXPECT_TRUE(Has(r.out, ">  32768 bytes Read from Device\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "s in simulated time")) << r.err;

    r = Invoke(bench + "verify copy.bin");  // a second run finds the same chip
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Device Contents MATCHES with Buffer Contents"));

    WriteChip("other.bin", 4);
    r = Invoke(bench + "verify other.bin");
    EXPECT_EQ(r.status, 5);
    EXPECT_TRUE(Has(r.err, "[Critical Message] Program or Compare Error")) << r.err;

    EXPECT_EQ(Invoke(bench + "blank").status, 4);
    r = Invoke(bench + "--quiet display 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "000200| ")) << r.out;
    EXPECT_FALSE(Has(r.out, "Fetching")) << "--quiet: the page only";
    EXPECT_EQ(Invoke(bench + "display 200").status, 2);

    EXPECT_EQ(Invoke("--simulate 6@378 export-log session.log").status, 0);
    const std::string log = FileText(dir.path() / "session.log");
    EXPECT_TRUE(Has(log, "MOLTRIX SYSTEM LOG FILE")) << log;
    EXPECT_TRUE(Has(log, "MOLTRIX-6 Device was FOUND at Port: 378")) << log;
}

TEST_F(Cli, ProgramAsksFirstAndReportsAFailure) {
    WriteChip("image.bin", 9);
    const std::string erased = "--simulate '5@378:27C256=blank.bin' --device 27C256 ";
    CliRun r = Invoke(erased + "program image.bin");
    EXPECT_EQ(r.status, 1) << "no terminal, no --yes: the safety question is cancelled";
    EXPECT_TRUE(Has(r.err, "[Safety Question] Program the Device?")) << r.err;
    r = Invoke(erased + "--yes --blank-check --verify program image.bin");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(FileText(dir.path() / "blank.bin"), FileText(dir.path() / "image.bin"));
    EXPECT_TRUE(Has(r.out, "Device IS BLANK (ERASED)"));
    EXPECT_TRUE(Has(r.out, "Device Contents MATCHES with Buffer Contents"));
    // A 25 V part at the preselected 12.5 V does not take the first byte.
    r = Invoke("--simulate '6@378:2732=nmos.bin' --device 2732 --yes program image.bin");
    EXPECT_EQ(r.status, 7) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "*** Programming Failure ***"));
    EXPECT_EQ(Invoke("--simulate 6@378 --device 27C256 --vpp 25 --yes program image.bin").status, 2);
}

TEST_F(Cli, FlashIdAndErase) {
    WriteChip("flash.bin", 5);
    const std::string flash = "--simulate '6@378:AM29F010=flash.bin' --device AM29F010 ";
    CliRun r = Invoke(flash + "id");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Device ID# 0120 - AMD am29F010 Flash Memory\n")) << r.out;
    EXPECT_EQ(Invoke("--simulate 6@378 --device AM29F010 id").status, 9) << "empty socket";
    EXPECT_EQ(Invoke(bench + "id").status, 9) << "not for an EPROM";

    EXPECT_EQ(Invoke(flash + "erase").status, 1) << "the safety question is cancelled";
    r = Invoke(flash + "--yes erase");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const std::string erased = FileText(dir.path() / "flash.bin");
    EXPECT_EQ(erased, std::string(128 * 1024, '\xFF'));
    r = Invoke("--simulate '6@378:AM29F010=flash.bin;noerase' --device AM29F010 --yes erase");
    EXPECT_EQ(r.status, 8);
    EXPECT_TRUE(Has(r.out, "Erasing Operation NOT COMPLETED!")) << r.out;
}

TEST_F(Cli, SerialEepromProgramReadEraseAndNoAcknowledge) {
    WriteChip("eeprom.bin", 4, 2048);
    WriteChip("image.bin", 6, 2048);
    const std::string serial = "--simulate '6@378:24C16=eeprom.bin' --device 24C16 ";
    CliRun r = Invoke(serial + "--yes --verify program image.bin");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(FileText(dir.path() / "eeprom.bin"), FileText(dir.path() / "image.bin"));
    EXPECT_TRUE(Has(r.out, "Device Contents MATCHES with Buffer Contents")) << r.out;
    r = Invoke(serial + "read copy.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FileText(dir.path() / "copy.bin"), FileText(dir.path() / "image.bin"));
    r = Invoke(serial + "erase");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(FileText(dir.path() / "eeprom.bin"), std::string(2048, '\xFF'));
    EXPECT_EQ(Invoke(serial + "verify image.bin").status, 5);

    r = Invoke("--simulate '6@378:24C16;noack' --device 24C16 read copy.bin");
    EXPECT_EQ(r.status, 6);
    EXPECT_TRUE(Has(r.out, "Device 24CXX DOES NOT RESPOND - ACK Error")) << r.out;
}

TEST_F(Cli, ReadSavesTheFormatAskedOrNamedByTheExtension) {
    WriteChip("chip.bin", 5);
    ASSERT_EQ(Invoke(bench + "-q read copy.hex").status, 0);
    ASSERT_EQ(Invoke(bench + "-q --format srec read copy.txt").status, 0);
    ASSERT_EQ(Invoke(bench + "-q --format raw read copy.s19").status, 0);
    const std::string chip = FileText(dir.path() / "chip.bin");
    for (const auto& [name, first] : {std::pair{"copy.hex", ":10000000"}, std::pair{"copy.txt", "S0"}}) {
        const std::string text = FileText(dir.path() / name);
        EXPECT_EQ(text.substr(0, std::string(first).size()), first) << name;
        EXPECT_EQ(Invoke(bench + "-q verify " + name).status, 0) << name << " loads back as the chip";
    }
    EXPECT_EQ(FileText(dir.path() / "copy.s19"), chip);
    EXPECT_EQ(Invoke(bench + "--format elf read x.bin").status, 2);
}

// "-" is standard output for the files a command writes, standard input for
// the ones it reads; the log then goes to standard error, away from the image.
TEST_F(Cli, DashIsStandardInputOrOutput) {
    WriteChip("chip.bin", 7);
    const std::string chip = FileText(dir.path() / "chip.bin");
    CliRun r = Invoke(bench + "read -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == chip) << r.out.size() << " bytes on standard output";
    EXPECT_TRUE(Has(r.err, ">  32768 bytes Read from Device\n")) << r.err;
    r = Invoke(bench + "--format ihex read -", "", true);
    EXPECT_EQ(r.out.substr(0, 9), ":10000000") << r.err;
    EXPECT_FALSE(Has(r.out, "Read from Device"));
    EXPECT_FALSE(fs::exists(dir.path() / "-"));

    WriteChip("image.bin", 8);
    r = Invoke("--simulate '6@378:27C256=blank.bin' --device 27C256 --yes --verify program -", "image.bin");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(FileText(dir.path() / "blank.bin") == FileText(dir.path() / "image.bin")) << "the chip holds the image";
    EXPECT_EQ(Invoke(bench + "-q verify -", "chip.bin").status, 0);

    r = Invoke("--simulate 6@378 export-log -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("MOLTRIX SYSTEM LOG FILE", 0), 0u) << r.out;
    EXPECT_TRUE(Has(r.err, "MOLTRIX-6 Device was FOUND at Port: 378")) << r.err;

    // A device that never ends is no image; a pipe or device is never replaced.
    r = Invoke(bench + "program /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "/dev/zero: it is a character device, not a file")) << r.err;
    ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0644), 0);
    r = Invoke(bench + "read pipe");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "pipe: it is a pipe (FIFO), not a file")) << r.err;
    EXPECT_EQ(fs::status(dir.path() / "pipe").type(), fs::file_type::fifo);
}

// The chip differs from the file in known places: a data line stuck at 0, and
// a tail that was never programmed.
TEST_F(Cli, CompareReportsEveryDifferenceAndWhichWayTheBitsWent) {
    WriteChip("chip.bin", 6);
    std::string file = FileText(dir.path() / "chip.bin");
    CliRun r = Invoke(bench + "-q compare chip.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(BeforeChecksums(r.out), "Compared 32768 bytes: 0 differ\n");

    // Data line 2 stuck at 0: every byte with bit 2 set reads without it.
    r = Invoke("--simulate '6@378:27C256=chip.bin;stuck0=04' --device 27C256 -q compare chip.bin");
    EXPECT_EQ(r.status, 5);
    std::size_t withBit = 0;
    std::string listed;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const auto b = static_cast<unsigned char>(file[i]);
        if (!(b & 4)) continue;
        if (++withBit <= 16) {
            char line[40];
            std::snprintf(line, sizeof line, "%06zX   %02X    %02X\n", i, b, b & ~4u);
            listed += line;
        }
    }
    EXPECT_EQ(BeforeChecksums(r.out), "Compared 32768 bytes: " + std::to_string(withBit) + " differ\nAddress  File  Device\n" + listed +
                         "... and " + std::to_string(withBit - 16) + " more\nBits at 1 where the file has 0: 0\n" +
                         "Bits at 0 where the file has 1: " + std::to_string(withBit) +
                         "\nOnly 0s where 1s were wanted: bits stuck at 0, or programmed over?\n");

    // The chip holds the first 30000 bytes, erased above: an unprogrammed tail.
    std::string chip = file.substr(0, 30000) + std::string(file.size() - 30000, '\xFF');
    std::FILE* f = std::fopen((dir.path() / "chip.bin").c_str(), "wb");
    std::fwrite(chip.data(), 1, chip.size(), f);
    std::fclose(f);
    r = Invoke(bench + "-q compare " + (dir.path() / "file.bin").string());
    EXPECT_EQ(r.status, 1) << "a missing file";
    f = std::fopen((dir.path() / "file.bin").c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    r = Invoke(bench + "-q compare file.bin");
    EXPECT_EQ(r.status, 5);
    std::size_t differ = 0, zeros = 0;
    for (std::size_t i = 30000; i < file.size(); ++i) {
        const auto b = static_cast<unsigned char>(file[i]);
        differ += b != 0xFF;
        zeros += static_cast<std::size_t>(8 - __builtin_popcount(b));
    }
    EXPECT_TRUE(Has(r.out, "Compared 32768 bytes: " + std::to_string(differ) + " differ\nAddress  File  Device\n007530   ")) << r.out;
    EXPECT_TRUE(Has(r.out, "Bits at 1 where the file has 0: " + std::to_string(zeros) + "\nBits at 0 where the file has 1: 0\n"
                           "Only 1s where 0s were wanted: not erased, or not programmed?\n")) << r.out;
}

// A file twice the chip's size: verify stops where the file runs past the
// chip and shows the file's byte there; compare counts the rest as not on the
// chip. A command's status is its first failure; a part without a page view
// says so.
TEST_F(Cli, FilesLargerThanTheChipStatusesAndPartsWithoutAPage) {
    WriteChip("chip.bin", 8);
    WriteChip("tail.bin", 9);
    const std::string chip = FileText(dir.path() / "chip.bin"), tail = FileText(dir.path() / "tail.bin");
    std::FILE* f = std::fopen((dir.path() / "big.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite((chip + tail).data(), 1, chip.size() + tail.size(), f);
    std::fclose(f);

    CliRun r = Invoke(bench + "verify big.bin");
    EXPECT_EQ(r.status, 5);
    std::size_t i = 0;  // past its end the chip reads its start again
    while (i < tail.size() && tail[i] == chip[i]) ++i;
    char line[80];
    std::snprintf(line, sizeof line, "Address: %zX ][ Buffer Data: %X ][ Device Data: %X\n", 0x8000 + i,
                  static_cast<unsigned char>(tail[i]), static_cast<unsigned char>(chip[i]));
    EXPECT_TRUE(Has(r.out, line)) << r.out;

    r = Invoke(bench + "-q compare big.bin");
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(BeforeChecksums(r.out), "Compared 32768 bytes: 0 differ\n"
                     "The file is larger than the chip: its last 32768 bytes (008000 to 00FFFF) are not on the chip\n");

    // The chip already holds the file: not blank (status 4), though it then
    // programs and verifies.
    r = Invoke(bench + "--yes --blank-check --verify program chip.bin");
    EXPECT_TRUE(Has(r.out, "Device Contents MATCHES with Buffer Contents")) << r.out;
    EXPECT_EQ(r.status, 4);

    r = Invoke("--simulate '6@378:24C16' --device 24C16 display");
    EXPECT_EQ(r.status, 9);
    EXPECT_TRUE(Has(r.err, "display does not apply to the")) << r.err;
}

}  // namespace
// A weak bit, read seven times: listed at its address and bit, nothing else,
// and the file is what the chip holds (for this seed, as for most: a weak bit
// reads 1 about one time in four). A chip without faults agrees with itself.
TEST_F(Cli, RepeatedReadsNameTheWeakBitAndSaveTheChipsContents) {
    WriteChip("chip.bin", 21);
    const std::string chip = FileText(dir.path() / "chip.bin");
    std::string weak;
    std::vector<std::string> named;
    for (std::size_t a = 0x100; named.empty(); ++a) {
        if ((chip[a] & 0x10) != 0) continue;  // a programmed 0 in bit 4
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06zX", a);
        weak += ";weak=" + std::string(hex) + ":4";
        named.push_back(hex);
    }
    CliRun r = Invoke("--simulate '6@378:27C256=chip.bin" + weak + "' --device 27C256 -q read --repeat 7 copy.bin");
    EXPECT_EQ(r.status, 10) << r.out << r.err;
    EXPECT_TRUE(FileText(dir.path() / "copy.bin") == chip) << "most reads give a weak bit's real 0\n" << r.out;
    EXPECT_TRUE(Has(r.out, "Read 7 times: 1 bit did not read the same every time")) << r.out;
    EXPECT_TRUE(Has(r.out, "Address  Bit  Read 1  Read 0  Kept\n" + named[0] + "   4    ")) << r.out;

    r = Invoke(bench + "-q read --repeat 5 again.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Read 5 times: every read gave the same bytes\n")) << r.out;
    EXPECT_EQ(Invoke(bench + "--repeat 3 blank").status, 2) << "--repeat is for reads";
}

// The checksums follow the log lines; --expect passes or fails a command that
// ran, and leaves a failed command's status as it is.
TEST_F(Cli, ChecksumsAfterTheLogAndTheExpectGate) {
    std::FILE* f = std::fopen((dir.path() / "v.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("123456789", f);
    std::fclose(f);
    CliRun r = Invoke(bench + "--yes program v.bin --expect CRC32=cbf43926 --expect crc16=0x29B1");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto sums = r.out.find("Checksums of the 9 bytes of the file:\nsum16   01DD\ncrc32   CBF43926\ncrc16   29B1\n"
                                 "sha256  15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225\n");
    EXPECT_NE(sums, std::string::npos) << r.out;
    EXPECT_GT(sums, r.out.find("Programming Device Successfull")) << "after the log lines";

    r = Invoke(bench + "-q verify v.bin --expect sha256=15e2b0d3");
    EXPECT_EQ(r.status, 12);
    EXPECT_TRUE(Has(r.err, "sha256 is 15e2b0d3c33891eb")) << r.err;
    WriteChip("other.bin", 3);
    EXPECT_EQ(Invoke(bench + "-q verify other.bin --expect crc32=0").status, 5) << "the verify's own failure";
    EXPECT_EQ(Invoke(bench + "-q blank --expect crc32=0").status, 2);
    r = Invoke(bench + "-q verify v.bin --expect crc=1");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "sum16, crc32, crc16, sha256")) << r.err;
}

// A chip whose bits drifted is mended in place; a file that needs a 1 where
// the chip holds 0 is refused before any pulse, the addresses named.
TEST_F(Cli, RefreshMendsADriftedChipAndRefusesAFileNeedingAnErase) {
    WriteChip("chip.bin", 22);
    const std::string file = FileText(dir.path() / "chip.bin");
    EXPECT_EQ(Invoke("--simulate '6@378:27C256=chip.bin;drift=4' --device 27C256 -q verify chip.bin").status, 5);
    ASSERT_EQ(Invoke("--simulate 6@378:27C256=image.bin --device 27C256 -q blank").status, 0);
    std::FILE* f = std::fopen((dir.path() / "file.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    const std::string drifted = FileText(dir.path() / "chip.bin");
    ASSERT_NE(drifted, file);

    std::string needsErase = drifted;
    std::size_t zero = 0x300;
    while ((needsErase[zero] & 0x80) != 0) ++zero;
    needsErase[zero] = static_cast<char>(needsErase[zero] | 0x80);
    f = std::fopen((dir.path() / "erase.bin").c_str(), "wb");
    std::fwrite(needsErase.data(), 1, needsErase.size(), f);
    std::fclose(f);
    CliRun r = Invoke(bench + "--yes refresh erase.bin");
    EXPECT_EQ(r.status, 13) << r.err;
    char line[64];
    std::snprintf(line, sizeof line, "*** Address:%zXh, File BYTE:", zero);
    EXPECT_TRUE(Has(r.out, line)) << r.out;
    EXPECT_FALSE(Has(r.out, "Program the Device?")) << "refused before the question";
    EXPECT_TRUE(FileText(dir.path() / "chip.bin") == drifted);

    r = Invoke(bench + "--yes refresh file.bin");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Device Contents MATCHES with Buffer Contents")) << r.out;
    EXPECT_TRUE(FileText(dir.path() / "chip.bin") == file);
}

}  // namespace moltrix::testing
