// The board set-up file: its exact bytes, what reading it adopts, and what
// happens when it cannot be written or holds numbers that do not fit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "board/detection.h"
#include "support/rig.h"

namespace moltrix::board {
namespace {
namespace fs = std::filesystem;

void WriteText(const fs::path& f, const std::string& text) { std::ofstream(f, std::ios::binary) << text; }

class BoardIni : public ::testing::Test {
protected:
    Programmer& p() { return rig.p(); }
    fs::path ProgramIni() const { return rig.services.paths.programDir / "moltrix6.ini"; }
    fs::path ConfigIni() const { return rig.services.paths.configDir / "moltrix6.ini"; }
    bool Probed() const {
        for (const auto& a : rig.recordingPort.log)
            if (!a.write) return true;
        return false;
    }
    testing::Rig rig;  // no board answers: every status read gives FFh
};

TEST_F(BoardIni, WrittenBytesForEachModelAndPort) {
    const struct {
        std::int16_t port, model;
        const char* text;
    } cases[] = {
        {0x378, 6, "[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\nIO_PORT = 378\r\nMODEL =  6 \r\n"},
        {0x278, 4, "[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\nIO_PORT = 278\r\nMODEL =  4 \r\n"},
        {0x3BC, 5, "[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\nIO_PORT = 3BC\r\nMODEL =  5 \r\n"},
    };
    for (const auto& c : cases) {
        p().regs.PortBase = c.port;
        p().regs.BoardModel = c.model;
        p().detect.WriteBoardIni();
        EXPECT_EQ(testing::FileText(ProgramIni()), c.text);
    }
    // Single-digit date and time fields keep their leading zeros.
    rig.clock.now = {2027, 1, 2, 3, 4, 5};
    p().detect.WriteBoardIni();
    EXPECT_NE(testing::FileText(ProgramIni()).find("DATE = 01-02-2027 03:04:05\r\n"), std::string::npos);
}

struct ReadCase {
    const char* what;
    const char* text;
    std::int16_t port, model, boardPort;
    bool probeAtStartUp;
};

TEST_F(BoardIni, ReadingBackAdoptsOnlyAFileWithEachKeyOnce) {
    const ReadCase cases[] = {
        {"as written", "[MOLTRIX6 SETUP]\r\nDATE = x\r\nIO_PORT = 378\r\nMODEL =  6 \r\n", 0x378, 6, 0x378, false},
        {"keys in the other order", "MODEL = 4\r\nIO_PORT = 278\r\n", 0x278, 4, 0x278, false},
        {"lower-case hexadecimal", "IO_PORT = 3bc\r\nMODEL = 5\r\n", 0x3BC, 5, 0x3BC, false},
        {"lines ended by LF alone", "IO_PORT = 278\nMODEL = 5\n", 0x278, 5, 0x278, false},
        {"blanks inside and after the number", "IO_PORT = 3 78 h\r\nMODEL =  6 \r\n", 0x378, 6, 0x378, false},
        {"lower-case key is no key", "io_port = 378\r\nMODEL = 6\r\n", 0, 0, 0, true},
        {"key without its blanks is no key", "IO_PORT=378\r\nMODEL = 6\r\n", 0, 0, 0, true},
        {"port alone", "IO_PORT = 278\r\n", 0x278, 0, 0, false},
        {"model alone", "MODEL = 6\r\n", 0, 0, 0, true},
        {"port twice", "IO_PORT = 278\r\nIO_PORT = 378\r\nMODEL = 6\r\n", 0x378, 6, 0, false},
        {"model twice", "IO_PORT = 378\r\nMODEL = 4\r\nMODEL = 6\r\n", 0x378, 6, 0, false},
        {"empty file", "", 0, 0, 0, true},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        testing::Rig r;
        WriteText(r.services.paths.programDir / "moltrix6.ini", c.text);
        r.p().Form_Load();
        bool probed = false;
        for (const auto& a : r.recordingPort.log) probed = probed || !a.write;
        EXPECT_EQ(probed, c.probeAtStartUp);
        if (c.probeAtStartUp) continue;  // the probe (no board) decides the rest
        EXPECT_EQ(r.p().regs.PortBase, c.port);
        EXPECT_EQ(r.p().regs.BoardModel, c.model);
        EXPECT_EQ(r.p().detect.BoardPort, c.boardPort);
        const bool adopted = c.boardPort != 0;
        EXPECT_EQ(r.p().form.Ready_label.caption, adopted ? "Ready" : "NotReady");
        EXPECT_EQ(r.p().form.MoltrixHardwareFound.caption,
                  adopted ? "MODEL " + std::to_string(c.model) + " - PC port " + HexPort(c.port) + "h"
                          : "NO HARDWARE FOUND !!!");
    }
}

TEST_F(BoardIni, AdoptingTheFileRewritesItWithTheDateOfToday) {
    WriteText(ProgramIni(), "IO_PORT = 278\r\nMODEL = 5\r\n");
    p().Form_Load();
    EXPECT_EQ(testing::FileText(ProgramIni()),
              "[MOLTRIX6 SETUP]\r\nDATE = 12-07-2026 17:51:05\r\nIO_PORT = 278\r\nMODEL =  5 \r\n");
}

TEST_F(BoardIni, UnknownModelIsKeptButNeitherShownNorWritten) {
    WriteText(ProgramIni(), "IO_PORT = 378\r\nMODEL = 7\r\n");
    p().detect.ReadBoardIni();
    EXPECT_EQ(p().regs.BoardModel, 7);
    EXPECT_EQ(p().detect.BoardPort, 0x378);
    EXPECT_EQ(rig.LogMessages(), std::vector<std::string>{"Port Selection changed to 378h"});
    EXPECT_EQ(testing::FileText(ProgramIni()), "IO_PORT = 378\r\nMODEL = 7\r\n");
}

TEST_F(BoardIni, NumbersTooLargeForTheirFieldSkipTheFileAndTheProbeRuns) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"IO_PORT = 10000\r\nMODEL = 6\r\n", "Board Setup File moltrix6.ini Ignored: IO_PORT number too large"},
        {"IO_PORT = 378\r\nMODEL = 40000\r\n", "Board Setup File moltrix6.ini Ignored: MODEL number too large"},
        {"IO_PORT = 378\r\nMODEL = -99999\r\n", "Board Setup File moltrix6.ini Ignored: MODEL number too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        testing::Rig r;
        WriteText(r.services.paths.programDir / "moltrix6.ini", c.text);
        r.p().detect.ReadBoardIni();
        EXPECT_EQ(r.LogMessages(), std::vector<std::string>{c.line});
        EXPECT_EQ(r.p().regs.PortBase, 0);
        EXPECT_EQ(r.p().regs.BoardModel, 0);
        EXPECT_EQ(r.p().detect.BoardPort, 0);
    }
    // At start-up the skipped file leaves the port unknown, so the probe runs.
    WriteText(ProgramIni(), cases[0].text);
    p().Form_Load();
    EXPECT_TRUE(Probed());
}

TEST_F(BoardIni, UnwritableProgramFolderUsesTheConfigurationFolder) {
    rig.services.paths.programDir = rig.dir.path() / "not-there";
    rig.services.paths.configDir = rig.dir.path() / "config" / "moltrix";  // made on demand
    p().regs.PortBase = 0x278;
    p().regs.BoardModel = 4;
    p().detect.WriteBoardIni();
    EXPECT_TRUE(rig.LogMessages().empty());
    EXPECT_NE(testing::FileText(ConfigIni()).find("IO_PORT = 278\r\n"), std::string::npos);

    // The next start finds it there.
    p().regs.PortBase = 0;
    p().regs.BoardModel = 0;
    p().detect.ReadBoardIni();
    EXPECT_EQ(p().detect.BoardPort, 0x278);
    EXPECT_EQ(p().regs.BoardModel, 4);
}

// A program folder that could not be written keeps an older file beside the
// configuration folder's newer one; the newer one counts, at equal times the
// program folder's.
TEST_F(BoardIni, TheNewerOfTheTwoFilesCounts) {
    const auto now = fs::file_time_type::clock::now();
    const struct {
        fs::file_time_type program, config;
        std::int16_t port;
    } cases[] = {{now - std::chrono::hours(1), now, 0x278}, {now, now - std::chrono::hours(1), 0x3BC}, {now, now, 0x3BC}};
    for (const auto& c : cases) {
        // Adopting a board writes the program folder's file anew: both are written for each case.
        WriteText(ProgramIni(), "IO_PORT = 3BC\r\nMODEL = 5\r\n");
        WriteText(ConfigIni(), "IO_PORT = 278\r\nMODEL = 4\r\n");
        fs::last_write_time(ProgramIni(), c.program);
        fs::last_write_time(ConfigIni(), c.config);
        p().detect.ReadBoardIni();
        EXPECT_EQ(p().detect.BoardPort, c.port);
    }
}

// The bench mode keeps its own file: the real board's is neither read nor written.
TEST_F(BoardIni, TheBenchKeepsItsOwnFile) {
    WriteText(ProgramIni(), "IO_PORT = 3BC\r\nMODEL = 5\r\n");
    rig.services.paths.benchDir = rig.dir.path() / "config" / "bench" / "6-378";
    p().detect.ReadBoardIni();
    EXPECT_EQ(p().regs.PortBase, 0) << "the real board's file was adopted";
    p().regs.InitStrobeTables();
    p().detect.BoardPort = 0x378;
    p().regs.BoardModel = 6;
    p().detect.ShowBoardFound();
    EXPECT_NE(testing::FileText(rig.services.paths.benchDir / "moltrix6.ini").find("IO_PORT = 378\r\n"),
              std::string::npos);
    EXPECT_NE(testing::FileText(ProgramIni()).find("IO_PORT = 3BC\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(ConfigIni()));
}

TEST_F(BoardIni, NoWritableFolderIsLoggedAndTheBoardStaysAdopted) {
    WriteText(rig.dir.path() / "plain-file", "x");
    rig.services.paths.programDir = rig.dir.path() / "not-there";
    rig.services.paths.configDir = rig.dir.path() / "plain-file" / "config";
    p().regs.InitStrobeTables();
    p().detect.BoardPort = 0x378;
    p().regs.BoardModel = 4;
    p().detect.ShowBoardFound();
    const auto lines = rig.LogMessages();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "MOLTRIX-4 Device was FOUND at Port: 378");
    EXPECT_EQ(lines[2].rfind("Board Setup File moltrix6.ini not Saved: ", 0), 0u) << lines[2];
    EXPECT_EQ(p().form.MoltrixHardwareFound.caption, "MODEL 4 - PC port 378h");
    EXPECT_EQ(p().regs.StrobePulse[3], 0x01);
}

TEST_F(BoardIni, UnreadableOrHugeFileIsSkippedWithALine) {
    fs::create_directories(ProgramIni());  // a folder where the file should be
    p().detect.ReadBoardIni();
    ASSERT_EQ(rig.LogMessages().size(), 1u);
    EXPECT_EQ(rig.LogMessages()[0].rfind("Board Setup File moltrix6.ini Ignored: ", 0), 0u);
    EXPECT_EQ(p().regs.PortBase, 0);

    // Far larger than any set-up file: not read into memory at all.
    fs::remove(ProgramIni());
    WriteText(ProgramIni(), "IO_PORT = 378\r\nMODEL = 6\r\n");
    fs::resize_file(ProgramIni(), std::uintmax_t{10} << 30);  // 10 GiB, sparse
    p().detect.ReadBoardIni();
    ASSERT_EQ(rig.LogMessages().size(), 2u);
    EXPECT_EQ(rig.LogMessages()[1], "Board Setup File moltrix6.ini Ignored: the file is 10737418240 bytes long, "
                                    "far more than such a file holds");
    EXPECT_EQ(p().detect.BoardPort, 0);
}

}  // namespace
}  // namespace moltrix::board
