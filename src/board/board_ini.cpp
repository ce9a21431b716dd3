// The board set-up file "moltrix6.ini": written whenever a board is adopted,
// read at start-up so that a known board needs no probe.
//
//   [MOLTRIX6 SETUP]
//   DATE = mm-dd-yyyy hh:mm:ss
//   IO_PORT = 378          port in upper-case hexadecimal
//   MODEL =  6             a blank for the sign, the digits, a trailing blank
//
// Lines end in CR LF. Only the IO_PORT and MODEL lines are read back; their
// keys must be written exactly so (upper case, one blank each side of "=").
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "board/detection.h"
#include "platform/file_io.h"
#include "shell/programmer.h"

namespace moltrix::board {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kPortKey = "IO_PORT = ";
constexpr std::string_view kModelKey = "MODEL = ";
// A valid file is some 80 bytes; anything near this is not one of ours.
constexpr std::uintmax_t kBoardIniMaxBytes = 64 * 1024;

// Blanks, tabs and line feeds count for nothing inside a number.
std::string WithoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n') out.push_back(c);
    return out;
}

// Hexadecimal digits up to the first other character; none gives 0. False
// when the number does not fit 16 bits.
bool HexNumber(std::string_view s, std::int16_t& out) {
    unsigned long v = 0;
    for (char c : WithoutBlanks(s)) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned long>(d);
        if (v > 0xFFFF) return false;
    }
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
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

std::string FormatDateTime(const platform::LocalDateTime& t) {
    char b[32];
    std::snprintf(b, sizeof b, "%02d-%02d-%04d %02d:%02d:%02d", t.month % 100, t.day % 100, t.year % 10000,
                  t.hour % 100, t.minute % 100, t.second % 100);
    return b;
}

}  // namespace

std::string BoardIniText(std::int16_t port, std::int16_t model, const std::string& dateTime) {
    const std::string number = model < 0 ? std::to_string(model) : " " + std::to_string(model);
    return "[MOLTRIX6 SETUP]\r\n"
           "DATE = " + dateTime + "\r\n"
           "IO_PORT = " + HexPort(port) + "\r\n"
           "MODEL = " + number + " \r\n";
}

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

std::optional<fs::path> Detection::FindBoardIni() const {
    // Where the program's folder could not be written, a later file lies in
    // the configuration folder beside an older one: the newer one counts.
    std::optional<fs::path> newest;
    fs::file_time_type newestTime;
    for (const fs::path& dir : p_.svc.paths.BoardIniDirs()) {
        std::error_code ec;
        if (dir.empty()) continue;
        const fs::path file = dir / kBoardIniName;
        if (!fs::exists(file, ec)) continue;
        const fs::file_time_type written = fs::last_write_time(file, ec);
        if (ec) continue;
        if (!newest || written > newestTime) {
            newest = file;
            newestTime = written;
        }
    }
    return newest;
}

void Detection::WriteBoardIni() {
    const auto& r = p_.regs;
    const std::string text = BoardIniText(r.PortBase, r.BoardModel, FormatDateTime(p_.svc.clock.Now()));
    // The program's folder is often not writable once installed; the user's
    // configuration folder takes the file instead.
    std::string error = "no folder for it";
    for (const fs::path& dir : p_.svc.paths.BoardIniDirs()) {
        if (dir.empty()) continue;
        std::error_code ec;
        if (dir != p_.svc.paths.programDir) fs::create_directories(dir, ec);
        error = platform::WriteFileReplacing(dir / kBoardIniName, text);
        if (error.empty()) return;
    }
    p_.log.AddLogLine(std::string("Board Setup File ") + kBoardIniName + " not Saved: " + error);
}

void Detection::ReadBoardIni() {
    auto& r = p_.regs;
    r.PortBase = 0;
    const auto file = FindBoardIni();
    if (!file) return;
    const platform::ReadResult read = platform::ReadWholeFile(*file, kBoardIniMaxBytes);
    const std::string skipped = std::string("Board Setup File ") + kBoardIniName + " Ignored: ";
    if (!read.ok) {
        p_.log.AddLogLine(skipped + read.error);
        return;
    }
    const BoardIniValues v = ParseBoardIni(std::string(read.bytes.begin(), read.bytes.end()));
    if (!v.error.empty()) {
        p_.log.AddLogLine(skipped + v.error);
        return;
    }
    if (v.portLines > 0) r.PortBase = v.port;
    if (v.modelLines > 0) r.BoardModel = v.model;
    if (v.portLines == 1 && v.modelLines == 1) BoardPort = r.PortBase;
    ShowBoardFound();
}

}  // namespace moltrix::board
