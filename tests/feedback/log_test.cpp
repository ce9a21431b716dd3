#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "feedback/log.h"
#include "rig.h"

namespace moltrix {
namespace {
using testing::Rig;

TEST(OperatorLog, EntryIsLineBreakTimeMarkAndMessage) {
    Rig rig;
    rig.p().log.AddLogLine("Device Eprom 27C256 was Selected");
    rig.clock.now.second = 9;
    rig.p().log.AddLogLine("");
    EXPECT_EQ(rig.p().form.SystemLog.text,
              "\r\n17:51:05>  Device Eprom 27C256 was Selected"
              "\r\n17:51:09>  ");
}

TEST(OperatorLog, AppendingDoesNotReplaceTheText) {
    Rig rig;
    auto generation = rig.p().form.SystemLog.generation;
    for (int i = 0; i < 1000; ++i) rig.p().log.AddLogLine("line " + std::to_string(i));
    EXPECT_EQ(rig.p().form.SystemLog.generation, generation);
    EXPECT_EQ(rig.LogMessages().size(), 1000u);
    EXPECT_EQ(rig.LogMessages().back(), "line 999");
}

TEST(StatCode, CountsWindows1252CodesAndQuestionMarksForTheRest) {
    EXPECT_EQ(feedback::StatCode(""), 0);
    EXPECT_EQ(feedback::StatCode("AB\r\n"), 65 + 66 + 13 + 10);
    EXPECT_EQ(feedback::StatCode("\xC3\xA9"), 0xE9);           // e acute, one character
    EXPECT_EQ(feedback::StatCode("\xE2\x82\xAC"), 0x80);       // euro sign sits at 80h
    EXPECT_EQ(feedback::StatCode("\xE2\x80\x94"), 0x97);       // em dash at 97h
    EXPECT_EQ(feedback::StatCode("\xE4\xB8\xAD"), '?');        // not in the code page
    EXPECT_EQ(feedback::StatCode("\xFF" "A"), '?' + 'A');      // a stray byte is one unknown character
    EXPECT_EQ(feedback::ToCp1252("\xC3\xA9\xE2\x82\xAC" "x"), "\xE9\x80x");
}

class LogExport : public ::testing::Test {
protected:
    Rig rig;
    std::filesystem::path file() { return rig.services.paths.workDir / "MOLTRIX.LOG"; }
    static std::string Header(double stat, int model) {
        std::ostringstream s;
        s << "MOLTRIX SYSTEM LOG FILE - VARNOK www.varnok.example\r\n"
          << "The following contents are the log from the Moltrix Program\r\n"
          << "12/07/2026 17:51:05 StatCode: " << static_cast<long long>(stat) << "  Model: " << model << " \r\n"
          << std::string(60, '-') << "\r\n";
        return s.str();
    }
};

TEST_F(LogExport, WritesHeaderHyphensTextAndFinalLineBreak) {
    rig.p().log.AddLogLine("Hello");
    rig.p().regs.BoardModel = 6;
    const std::string text = rig.p().form.SystemLog.text;
    double sum = 0;
    for (unsigned char c : text) sum += c;
    // Each entry: 13 + 10 for the line break, 62 + 32 + 32 for ">  ".
    EXPECT_EQ(sum, 13 + 10 + 62 + 32 + 32 + feedback::StatCode("17:51:05") + feedback::StatCode("Hello"));

    rig.p().form.SystemLog.DblClick();
    EXPECT_EQ(testing::FileText(file()), Header(sum, 6) + text + "\r\n");
    EXPECT_EQ(rig.LogMessages().back(), "System Log was Saved to MOLTRIX.LOG file");
}

TEST_F(LogExport, NumbersTakeASignPlaceAndATrailingBlank) {
    rig.p().regs.BoardModel = -3;  // a set-up file can say so
    rig.p().log.SystemLog_DblClick();
    EXPECT_NE(testing::FileText(file()).find(" StatCode: 0  Model:-3 \r\n"), std::string::npos);
}

TEST_F(LogExport, EmptyLogGivesStatCodeZeroAndAnEmptyLastLine) {
    rig.p().log.SystemLog_DblClick();
    EXPECT_EQ(testing::FileText(file()), Header(0, 0) + "\r\n");
}

TEST_F(LogExport, SecondExportReplacesTheFileAndHoldsTheFirstClosingEntry) {
    rig.p().log.AddLogLine("first");
    rig.p().log.SystemLog_DblClick();
    std::string first = testing::FileText(file());
    EXPECT_EQ(first.find("System Log was Saved"), std::string::npos);
    rig.p().log.SystemLog_DblClick();
    std::string second = testing::FileText(file());
    EXPECT_NE(second.find("System Log was Saved to MOLTRIX.LOG file\r\n"), std::string::npos);
    EXPECT_EQ(second.rfind("MOLTRIX SYSTEM LOG FILE", std::string::npos), 0u);  // one header only
}

TEST_F(LogExport, AFailedWriteIsReportedAndNotLoggedAsSaved) {
    std::filesystem::create_directory(file());  // a folder stands where the file should go
    rig.p().log.AddLogLine("x");
    rig.p().log.SystemLog_DblClick();
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_NE(rig.dialogs.shown[0].text.find("MOLTRIX.LOG"), std::string::npos);
    EXPECT_EQ(rig.dialogs.shown[0].title, "System Log Not Saved");
    for (const auto& m : rig.LogMessages()) EXPECT_EQ(m.find("was Saved"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

TEST_F(LogExport, TextOutsideAsciiIsWrittenInTheCodePageTheStatCodeCounts) {
    rig.p().log.AddLogLine("caf\xC3\xA9 \xE4\xB8\xAD");
    rig.p().log.SystemLog_DblClick();
    std::string f = testing::FileText(file());
    EXPECT_NE(f.find("caf\xE9 ?"), std::string::npos);
}

}  // namespace
}  // namespace moltrix
