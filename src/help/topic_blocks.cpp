#include "help/topic_blocks.h"

#include <algorithm>

namespace moltrix::help {
namespace {

constexpr std::string_view kItemMark = "- ";
// Indented by this many blanks or more, a line after a list item is
// preformatted rather than the item's next line.
constexpr std::size_t kCodeIndent = 4;

std::size_t Indent(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos ? line.size() : first;
}

bool InColumns(std::string_view line) {
    const std::string_view body = line.substr(Indent(line));
    return body.find('\t') != std::string_view::npos || body.find('|') != std::string_view::npos ||
           body.find("   ") != std::string_view::npos;
}

bool IsItem(std::string_view line) {
    const std::size_t indent = Indent(line);
    return indent < kCodeIndent && line.substr(indent).starts_with(kItemMark);
}

}  // namespace

std::vector<TextBlock> SplitBlocks(std::string_view text) {
    std::vector<TextBlock> blocks;
    // The paragraph or item that plain lines still join, if any.
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t open = kNone;
    std::vector<std::string_view> pre;  // lines of the preformatted block being gathered
    const auto endPre = [&] {
        if (pre.empty()) return;
        std::size_t common = std::string_view::npos;
        for (auto l : pre) common = std::min(common, Indent(l));
        std::string joined;
        for (auto l : pre) {
            if (!joined.empty()) joined.push_back('\n');
            joined.append(l.substr(common));
        }
        blocks.push_back({BlockKind::Preformatted, std::move(joined)});
        pre.clear();
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.remove_suffix(1);

        const std::size_t indent = Indent(line);
        if (line.empty()) {
            endPre();
            open = kNone;
            continue;
        }
        const bool plain = !IsItem(line) && !InColumns(line);
        const bool inItem = open != kNone && blocks[open].kind == BlockKind::ListItem;
        if (open != kNone && plain && (indent == 0 || (inItem && indent < kCodeIndent))) {
            blocks[open].text.push_back(' ');
            blocks[open].text.append(line.substr(indent));
            continue;
        }
        if (!IsItem(line) && (indent > 0 || InColumns(line))) {
            open = kNone;
            pre.push_back(line);
            continue;
        }
        endPre();
        if (IsItem(line)) {
            const std::string_view words = line.substr(indent + kItemMark.size());
            blocks.push_back({BlockKind::ListItem, std::string(words.substr(Indent(words)))});
        } else {
            blocks.push_back({BlockKind::Paragraph, std::string(line)});
        }
        open = blocks.size() - 1;
    }
    endPre();
    return blocks;
}

}  // namespace moltrix::help
