#include "devices/device_lookup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

#include "devices/catalog.h"

namespace moltrix::devices {
namespace {

// Lower case, blanks collapsed and trimmed.
std::string Normal(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            continue;
        }
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// The name without its first word ("27c256" of "eprom 27c256").
std::string PartOf(const std::string& normalName) {
    const auto blank = normalName.find(' ');
    return blank == std::string::npos ? normalName : normalName.substr(blank + 1);
}

// Whether `word` is one of the name's words after the family word and holds
// a digit: the part number ("am29f010" of "flash amd am29f010").
bool NamesPart(const std::string& normalName, const std::string& word) {
    if (word.find_first_of("0123456789") == std::string::npos) return false;
    std::string rest = PartOf(normalName) + ' ';
    for (std::size_t start = 0, blank; (blank = rest.find(' ', start)) != std::string::npos; start = blank + 1)
        if (rest.compare(start, blank - start, word) == 0) return true;
    return false;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

constexpr std::size_t kMaxCloseMatches = 6;

}  // namespace

DeviceLookup LookUpDevice(std::string_view query) {
    DeviceLookup found;
    const auto rows = DeviceRows();
    const std::string q = Normal(query);
    if (q.empty()) return found;

    int number = 0;
    const auto [end, ec] = std::from_chars(q.data(), q.data() + q.size(), number);
    const bool isNumber = ec == std::errc() && end == q.data() + q.size();
    if (isNumber && number >= 1 && number <= static_cast<int>(rows.size())) {
        found.row = number;
        found.refused = !rows[static_cast<std::size_t>(number - 1)].supported;
        return found;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string name = Normal(rows[i].name);
        if (q == name || q == PartOf(name)) {
            found.row = static_cast<int>(i) + 1;
            found.refused = !rows[i].supported;
            return found;
        }
    }
    // A part number alone, when one row has it.
    int byPart = 0, partRows = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!NamesPart(Normal(rows[i].name), q)) continue;
        byPart = static_cast<int>(i) + 1;
        ++partRows;
    }
    if (partRows == 1) {
        found.row = byPart;
        found.refused = !rows[static_cast<std::size_t>(byPart - 1)].supported;
        return found;
    }
    // Names holding what was typed come first, then the nearest by spelling.
    std::vector<std::pair<std::size_t, const char*>> near;
    for (const DeviceRow& r : rows) {
        const std::string name = Normal(r.name);
        const std::size_t distance =
            name.find(q) != std::string::npos ? 0 : std::min(EditDistance(q, PartOf(name)), EditDistance(q, name));
        if (distance <= 2) near.emplace_back(distance, r.name);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < near.size() && i < kMaxCloseMatches; ++i) found.closeMatches.emplace_back(near[i].second);
    return found;
}

}  // namespace moltrix::devices
