// A topic's hand-wrapped text split into what the viewer wraps (paragraphs,
// list items) and what it keeps line for line (commands, tables).
#include <gtest/gtest.h>

#include "help/topic_blocks.h"

namespace moltrix::help {
namespace {

constexpr auto P = BlockKind::Paragraph;
constexpr auto L = BlockKind::ListItem;
constexpr auto C = BlockKind::Preformatted;

TEST(TopicBlocks, WrappedLinesJoinCommandsTablesAndItemsStayApart) {
    const struct {
        const char* text;
        std::vector<TextBlock> blocks;
    } kCases[] = {
        {"one line\nwrapped here\n\nnext one", {{P, "one line wrapped here"}, {P, "next one"}}},
        {"Load it\nonce with\n\n    sudo modprobe ppdev\n\nand then",
         {{P, "Load it once with"}, {C, "sudo modprobe ppdev"}, {P, "and then"}}},
        // A table right under its paragraph; its own indentation kept, the common one dropped.
        {"options:\n    typical, max    timing\n      hard          pulse\nmore text",
         {{P, "options:"}, {C, "typical, max    timing\n  hard          pulse"}, {P, "more text"}}},
        {"- first item\n  wrapped\n- second\nlazy\n\nafter",
         {{L, "first item wrapped"}, {L, "second lazy"}, {P, "after"}}},
        {"- item\n    code under it", {{L, "item"}, {C, "code under it"}}},
        {"Port  | Address\n378h  | data", {{C, "Port  | Address\n378h  | data"}}},
        {"two blanks.  Still prose\n", {{P, "two blanks.  Still prose"}}},
        {"", {}},
    };
    for (const auto& c : kCases) EXPECT_EQ(SplitBlocks(c.text), c.blocks) << c.text;
}

}  // namespace
}  // namespace moltrix::help
