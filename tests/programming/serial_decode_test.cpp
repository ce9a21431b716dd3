// The bus of a 24C08 write as a two-wire decoder we did not write reads it:
// sigrok-cli's i2c decoder over the simulator's trace of SCL and SDA.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "programming/chip_corners.h"

namespace moltrix::testing {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// The decoder's annotations, one per line, without the "i2c-1: " prefix.
std::vector<std::string> Decode(const std::filesystem::path& vcd) {
    std::istringstream lines(Output("sigrok-cli -I vcd:downsample=100 -i '" + vcd.string() +
                                 "' -P i2c:scl=scl:sda=sda"
                                    " -A i2c=start:repeat-start:stop:ack:nack:address-write:data-write 2>&1"));
    std::vector<std::string> out;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("i2c-1: ", 0) == 0) line = line.substr(7);
        // A start after the answered poll, with no stop between, is a repeated one.
        if (line == "Start repeat") line = "Start";
        out.push_back(line);
    }
    return out;
}

std::string Hex(std::uint8_t b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

TEST(SerialDecode, A24C08WriteAsSigrokSeesIt) {
    if (Output("sigrok-cli --version >/dev/null 2>&1 && echo yes") != "yes\n")
        GTEST_SKIP() << "sigrok-cli is not installed (scripts/setup-debian.sh installs it)";
    TempDir dir;
    ChipBench bench("24C08", kChipCorners[0]);
    auto& p = bench.p();
    p.buffers.CodeSize = 258;  // 16 whole pages, then two bytes at 100h: block 1
    std::string error;
    ASSERT_TRUE(bench.board.StartTrace((dir.path() / "all.vcd").string(), &error)) << error;
    p.program.Program_button_Click();
    bench.board.StopTrace();
    ASSERT_TRUE(bench.ChipHoldsBuffer(258));

    // Its VCD input takes one-bit signals only: the register buses go.
    {
        std::ifstream in(dir.path() / "all.vcd");
        std::ofstream out(dir.path() / "lines.vcd");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("$var wire 8", 0) != 0 && line.rfind('b', 0) != 0) out << line << '\n';
    }
    const auto seen = Decode(dir.path() / "lines.vcd");

    // The write transactions are those that end in a stop.
    std::vector<std::vector<std::string>> writes;
    std::vector<std::string> current;
    for (const auto& a : seen) {
        if (a == "Start") current.clear();
        current.push_back(a);
        if (a == "Stop") writes.push_back(current);
    }
    ASSERT_EQ(writes.size(), 17u) << (seen.empty() ? "no output" : seen.front());
    const auto expect = [&](std::size_t page, const std::string& device, std::uint32_t address, std::size_t n) {
        std::vector<std::string> want{"Start", "Write", "Address write: " + device, "ACK",
                                      "Data write: " + Hex(static_cast<std::uint8_t>(address)), "ACK"};
        for (std::size_t i = 0; i < n; ++i) {
            want.push_back("Data write: " + Hex(p.buffers.CodeBuffer[address + i]));
            want.push_back("ACK");
        }
        want.push_back("Stop");
        EXPECT_EQ(writes[page], want) << "page " << page;
    };
    expect(0, "50", 0x000, 16);   // device byte A0h
    expect(15, "50", 0x0F0, 16);
    expect(16, "51", 0x100, 2);   // A2h

    // After each stop the chip is polled until it answers: the device byte
    // again, unanswered while the write cycle runs, then acknowledged.
    std::size_t stop = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i] != "Stop") continue;
        ++stop;
        std::size_t j = i + 1, busy = 0;
        for (; j + 3 < seen.size() && seen[j + 3] == "NACK"; j += 4) {
            EXPECT_EQ(seen[j], "Start");
            EXPECT_EQ(seen[j + 2].substr(0, 15), "Address write: ");
            ++busy;
        }
        EXPECT_GE(busy, 1u) << "stop " << stop;
        ASSERT_LT(j + 3, seen.size());
        EXPECT_EQ(seen[j + 3], "ACK") << "stop " << stop;
    }
}

}  // namespace
}  // namespace moltrix::testing
