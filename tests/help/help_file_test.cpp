// The manual's text format: the shipped manual reads, bad files are refused
// with their line, and the keyword index the search shows.
#include <gtest/gtest.h>

#include "help/help_file.h"
#include "support/rig.h"

namespace moltrix::help {
namespace {

TEST(HelpFile, TheShippedManualReadsAndCoversTheProgram) {
    HelpError error;
    const std::string text = testing::FileText(MOLTRIX_MANUAL);
    const auto manual = ParseHelp(text, &error);
    ASSERT_TRUE(manual) << "line " << error.line << ": " << error.reason;
    EXPECT_EQ(manual->topics.front().id, "contents");
    for (const char* id : {"board", "port", "read", "blank", "program", "verify", "erase", "bench", "cli"})
        EXPECT_NE(FindTopic(*manual, id), nullptr) << id;
    for (const auto& t : manual->topics) {
        EXPECT_FALSE(t.keywords.empty()) << t.id;
        EXPECT_FALSE(t.text.empty()) << t.id;
    }
    EXPECT_FALSE(KeywordIndex(*manual, "lp gr").empty());
}

TEST(HelpFile, TopicsKeywordsAndText) {
    const auto file = ParseHelp("MOLTRIX HELP 1\r\n\n# a First topic\n: Zeta\n: alpha\n\nline one\n\nline two\n\n\n"
                                "# b Second\n: Alphabet\ntext\n",
                                nullptr);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->topics.size(), 2u);
    EXPECT_EQ(file->topics[0].title, "First topic");
    EXPECT_EQ(file->topics[0].text, "line one\n\nline two");
    EXPECT_EQ(file->topics[1].text, "text");
    std::vector<std::string> words;
    for (const auto& e : KeywordIndex(*file, "AL")) words.push_back(e.keyword + "@" + std::to_string(e.topic));
    EXPECT_EQ(words, (std::vector<std::string>{"alpha@0", "Alphabet@1"}));
    EXPECT_EQ(KeywordIndex(*file, "").size(), 3u);
}

TEST(HelpFile, BadFilesAreRefusedWithTheirLine) {
    const std::pair<const char*, std::size_t> kBad[] = {
        {"", 1},
        {"a help file\n# a A\n", 1},
        {"MOLTRIX HELP 1\nloose text\n", 2},
        {"MOLTRIX HELP 1\n# lonely\n", 2},
        {"MOLTRIX HELP 1\n# a A\n:\n", 3},
        {"MOLTRIX HELP 1\n# a A\ntext\n# a Again\n", 4},
        {"MOLTRIX HELP 1\n\n", 2},
    };
    for (const auto& [text, line] : kBad) {
        HelpError error;
        EXPECT_FALSE(ParseHelp(text, &error)) << text;
        EXPECT_EQ(error.line, line) << text;
        EXPECT_FALSE(error.reason.empty());
    }
}

}  // namespace
}  // namespace moltrix::help
