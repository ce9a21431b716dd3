#include "shell/geometry.h"

#include <charconv>
#include <cmath>

#include "product.h"

namespace moltrix {
namespace {
constexpr const char* kSection = "Settings";

bool ParseNumber(const std::string& text, float& out) {
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && ptr == last && std::isfinite(out);
}
}  // namespace

double ReadTwips(platform::SettingsStore& store, const std::string& key, double defaultValue) {
    std::string text = store.Get(kAppTitle, kSection, key, SingleText(defaultValue));
    float v = 0;
    if (!ParseNumber(text, v)) return defaultValue;
    return v;
}

void WriteTwips(platform::SettingsStore& store, const std::string& key, double value) {
    store.Set(kAppTitle, kSection, key, SingleText(value));
}

std::string SingleText(double value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value), std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("0");
}

}  // namespace moltrix
