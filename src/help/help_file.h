#pragma once
// The operator's manual, "moltrix5.hlp": a plain UTF-8 text of topics, read by
// the program's own help viewer.
//
//   MOLTRIX HELP 1            first line: the format and its version
//   # id Title of the topic   a topic starts; the id is one word
//   : keyword                 index entries of the topic (any number, right after #)
//   text                      the topic's text; a blank line separates paragraphs
//
// The first topic is the contents page; the viewer lists every topic's title
// beside it. Lines before the first topic other than the header are refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::help {

struct HelpTopic {
    std::string id;
    std::string title;
    std::vector<std::string> keywords;
    std::string text;  // lines joined with '\n', without trailing blank lines
};

struct HelpFile {
    std::vector<HelpTopic> topics;
};

struct HelpError {
    std::size_t line = 0;  // 1-based
    std::string reason;
};

// The manual, or where and why it cannot be read.
std::optional<HelpFile> ParseHelp(std::string_view text, HelpError* error);

struct IndexEntry {
    std::string keyword;
    std::size_t topic;  // index into HelpFile::topics
};

// Every keyword that starts with `prefix` (letter case ignored), sorted the
// same way; an empty prefix gives the whole index.
std::vector<IndexEntry> KeywordIndex(const HelpFile& file, std::string_view prefix);

// The topic with that id, or nullptr.
const HelpTopic* FindTopic(const HelpFile& file, std::string_view id);

}  // namespace moltrix::help
