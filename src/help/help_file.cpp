#include "help/help_file.h"

#include <algorithm>
#include <cctype>

namespace moltrix::help {
namespace {

constexpr std::string_view kHeader = "MOLTRIX HELP 1";

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void EndTopic(HelpTopic& t) {
    while (!t.text.empty() && t.text.back() == '\n') t.text.pop_back();
}

}  // namespace

std::optional<HelpFile> ParseHelp(std::string_view text, HelpError* error) {
    const auto fail = [&](std::size_t line, std::string reason) -> std::optional<HelpFile> {
        if (error) *error = {line, std::move(reason)};
        return std::nullopt;
    };
    HelpFile file;
    std::size_t number = 0;
    bool inKeywords = false;
    while (!text.empty() || number == 0) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimRight(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (number == 1) {
            if (line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") {
                if (line.substr(3) != kHeader) return fail(1, "not a MOLTRIX help file");
            } else if (line != kHeader) {
                return fail(1, "not a MOLTRIX help file");
            }
            continue;
        }
        if (!line.empty() && line.front() == '#') {
            const std::string_view rest = TrimLeft(line.substr(1));
            const std::size_t blank = rest.find(' ');
            if (rest.empty() || blank == std::string_view::npos || TrimLeft(rest.substr(blank)).empty())
                return fail(number, "a topic needs an id and a title");
            const std::string id(rest.substr(0, blank));
            if (FindTopic(file, id)) return fail(number, "topic \"" + id + "\" appears twice");
            if (!file.topics.empty()) EndTopic(file.topics.back());
            file.topics.push_back({id, std::string(TrimLeft(rest.substr(blank))), {}, {}});
            inKeywords = true;
            continue;
        }
        if (file.topics.empty()) {
            if (line.empty()) continue;
            return fail(number, "text before the first topic");
        }
        HelpTopic& topic = file.topics.back();
        if (inKeywords && !line.empty() && line.front() == ':') {
            const std::string_view keyword = TrimLeft(line.substr(1));
            if (keyword.empty()) return fail(number, "an empty keyword");
            topic.keywords.emplace_back(keyword);
            continue;
        }
        if (inKeywords && line.empty() && topic.text.empty()) continue;
        inKeywords = false;
        topic.text.append(line);
        topic.text.push_back('\n');
    }
    if (file.topics.empty()) return fail(number, "the file holds no topic");
    EndTopic(file.topics.back());
    return file;
}

std::vector<IndexEntry> KeywordIndex(const HelpFile& file, std::string_view prefix) {
    const std::string want = Lower(prefix);
    std::vector<IndexEntry> out;
    for (std::size_t t = 0; t < file.topics.size(); ++t)
        for (const auto& k : file.topics[t].keywords)
            if (Lower(k).compare(0, want.size(), want) == 0) out.push_back({k, t});
    std::stable_sort(out.begin(), out.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return Lower(a.keyword) < Lower(b.keyword); });
    return out;
}

const HelpTopic* FindTopic(const HelpFile& file, std::string_view id) {
    for (const auto& t : file.topics)
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace moltrix::help
