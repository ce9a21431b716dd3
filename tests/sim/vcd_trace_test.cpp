// The VCD trace of a short register sequence on a board with a 24C16.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim_bench.h"

namespace moltrix::sim {
namespace {

using testing::SimBench;

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(VcdTrace, HoldsTheRegisterBusAndSerialLineTransitions) {
    const auto path = testing::TempFile("trace.vcd");
    {
        SimBench b(6, "24C16");
        b.drv.Set(3, 0x80);  // SCL high, register 4 drives
        b.drv.Set(4, 0x80);  // SDA high
        std::string error;
        ASSERT_TRUE(b.board.StartTrace(path.string(), &error)) << error;
        b.drv.Set(4, 0x00);  // SDA falls while SCL is high: a start condition
        b.drv.Set(3, 0x00);  // SCL low
        b.drv.Set(2, 0x5A);
        b.board.StopTrace();
        b.drv.Set(2, 0x00);  // after the trace: not recorded
    }
    const std::vector<std::string> lines = Lines(path);
    std::filesystem::remove(path);
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    for (const char* header : {"$timescale 1ns $end", "$var wire 8 ! reg0 $end", "$var wire 8 % reg4 $end",
                               "$var wire 8 & data $end", "$var wire 1 ' scl $end",
                               "$var wire 1 ( sda $end", "$enddefinitions $end", "$dumpvars"}) {
        EXPECT_NE(text.find(header), std::string::npos) << header;
    }
    // After the initial dump: the changes in order, each under a rising time stamp.
    std::vector<std::string> changes;
    unsigned long long last_time = 0;
    bool in_dump = false, past_dump = false;
    for (const std::string& l : lines) {
        if (l == "$dumpvars") {
            in_dump = true;
        } else if (l == "$end" && in_dump) {
            in_dump = false;
            past_dump = true;
        } else if (past_dump && !l.empty() && l[0] == '#') {
            const unsigned long long t = std::stoull(l.substr(1));
            EXPECT_GT(t, last_time);
            last_time = t;
        } else if (past_dump) {
            changes.push_back(l);
        }
    }
    ASSERT_GE(changes.size(), 6u);
    EXPECT_EQ(changes[0], "b00000000 %");
    EXPECT_EQ(changes[1], "b00000000 &") << "data bus driven by register 4";
    EXPECT_EQ(changes[2], "0(") << "SDA low";
    EXPECT_EQ(changes[3], "b00000000 $") << "register 3 <- 00h";
    EXPECT_EQ(changes[4], "0'") << "SCL low";
    EXPECT_EQ(changes[5], "b01011010 #") << "register 2 <- 5Ah";
    EXPECT_EQ(changes.size(), 6u) << "nothing after the trace stopped";
}

}  // namespace
}  // namespace moltrix::sim
