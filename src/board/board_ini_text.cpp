// The board set-up file's lines as read back: only IO_PORT and MODEL count,
// and their keys must be written exactly so (upper case, one blank each side
// of "="). The file itself is found, read and written in board_ini.cpp.
#include "board/board_ini_text.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace moltrix::board {
namespace {

constexpr std::string_view kPortKey = "IO_PORT = ";
constexpr std::string_view kModelKey = "MODEL = ";

// Blanks, tabs and line feeds count for nothing inside a number.
std::string WithoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n') out.push_back(c);
    return out;
}

// Hexadecimal digits up to the first other character; none gives 0. False
// when the number does not fit 16 bits.
bool HexNumber(std::string_view s, std::uint16_t& out) {
    unsigned long v = 0;
    for (char c : WithoutBlanks(s)) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned long>(d);
        if (v > 0xFFFF) return false;
    }
    out = static_cast<std::uint16_t>(v);
    return true;
}

// A decimal number (sign, digits, fraction, exponent) up to the first
// character that cannot continue it, rounded to the nearest whole number
// (halves to even); none gives 0. False when it does not fit 16 bits.
bool DecimalNumber(std::string_view s, std::int16_t& out) {
    const std::string t = WithoutBlanks(s);
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i > start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        digits();
    }
    std::string number = t.substr(0, i);
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::size_t mark = i++;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits())
            number = t.substr(0, mark) + "e" + t.substr(mark + 1, i - mark - 1);
    }
    const double v = std::strtod(number.c_str(), nullptr);  // "", "+" or "." read as 0
    const double r = std::nearbyint(v);
    if (!(r >= -32768.0 && r <= 32767.0)) return false;
    out = static_cast<std::int16_t>(r);
    return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

BoardIniValues ParseBoardIni(const std::string& text) {
    BoardIniValues v;
    for (std::string_view line : Lines(text)) {
        if (line.substr(0, kPortKey.size()) == kPortKey) {
            if (!HexNumber(line.substr(kPortKey.size()), v.port)) v.error = "IO_PORT number too large";
            ++v.portLines;
        } else if (line.substr(0, kModelKey.size()) == kModelKey) {
            if (!DecimalNumber(line.substr(kModelKey.size()), v.model)) v.error = "MODEL number too large";
            ++v.modelLines;
        }
    }
    return v;
}

}  // namespace moltrix::board
