#pragma once
// A topic's text in the blocks the help viewer lays out. The manual's
// paragraphs are wrapped by hand at about 80 columns; the viewer wraps them
// again at its own width, so their lines are joined into one first. Lines
// that carry a layout of their own stay lines:
//
//   plain lines, up to a blank line     one paragraph, its lines joined by a blank
//   "- " at the start of a line (after   a list item; plain lines and lines indented
//   fewer than four blanks)              by fewer than four blanks right after it
//                                        continue it
//   an indented line (a command, a       preformatted; neighbouring ones form one
//   table of options)                    block, their common indentation removed
//   a line in columns (a tab, a '|',     preformatted too
//   or three blanks between words)
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::help {

enum class BlockKind { Paragraph, ListItem, Preformatted };

struct TextBlock {
    BlockKind kind;
    // A paragraph or list item (without its "- "): one line. Preformatted:
    // its lines joined with '\n'.
    std::string text;
    friend bool operator==(const TextBlock&, const TextBlock&) = default;
};

std::vector<TextBlock> SplitBlocks(std::string_view text);

}  // namespace moltrix::help
