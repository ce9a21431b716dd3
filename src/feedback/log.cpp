#include "feedback/log.h"

#include <cmath>
#include <cstdio>

#include "platform/file_io.h"
#include "product.h"
#include "shell/programmer.h"

namespace moltrix::feedback {
namespace {

// Decodes one UTF-8 sequence; a malformed byte yields U+FFFD and advances by one.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    auto b0 = static_cast<unsigned char>(s[i]);
    int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (int k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b >> 6) != 2) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

// Windows-1252 byte for a code point, or '?' when the code page has none.
unsigned char Cp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    // The five positions Windows leaves undefined map to themselves.
    if (cp == 0x81 || cp == 0x8D || cp == 0x8F || cp == 0x90 || cp == 0x9D) return static_cast<unsigned char>(cp);
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] != 0 && kHigh[k] == cp) return static_cast<unsigned char>(0x80 + k);
    return '?';
}

}  // namespace

std::string HexText(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(v));
    return text;
}

double StatCode(std::string_view text) {
    double sum = 0;
    for (std::size_t i = 0; i < text.size();) sum += Cp1252(NextCodePoint(text, i));
    return sum;
}

std::string ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) out.push_back(static_cast<char>(Cp1252(NextCodePoint(text, i))));
    return out;
}

namespace {
// A number as the export writes it: the sign's place (a blank when it is not
// negative), the digits, one trailing blank.
std::string NumberText(double v) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", v);
    return (v < 0 ? "" : " ") + std::string(digits) + " ";
}
}  // namespace

static std::string ExportFileText(const std::string& firstLine, const std::string& secondLine,
                                  const std::string& dateTime, double statCode, int boardModel,
                                  const std::string& body) {
    std::string t;
    t.reserve(body.size() + 256);
    t += firstLine + "\r\n";
    t += secondLine + "\r\n";
    t += dateTime + " StatCode:" + NumberText(std::floor(statCode)) + " Model:" + NumberText(boardModel) + "\r\n";
    t += std::string(60, '-') + "\r\n";
    t += body + "\r\n";
    return t;
}

OperatorLog::OperatorLog(Programmer& p) : p_(p) {
    p_.form.SystemLog.onDblClick = [this] { SystemLog_DblClick(); };
}

void OperatorLog::AddLogLine(const std::string& message) {
    auto& clock = p_.svc.clock;
    std::string entry = "\r\n";
    entry += clock.FormatTime(clock.Now());
    entry += ">  ";
    entry += message;
    p_.form.SystemLog.Append(entry);
}

void OperatorLog::Clear() { p_.form.SystemLog.SetText({}); }

const std::string& OperatorLog::Text() const { return p_.form.SystemLog.text; }

std::string WriteExportFile(Programmer& p, const std::string& fileName, const std::string& firstLine,
                            const std::string& secondLine, const std::string& body) {
    auto& clock = p.svc.clock;
    auto now = clock.Now();
    std::string content = ExportFileText(firstLine, secondLine,
                                         clock.FormatShortDate(now) + " " + clock.FormatTime(now),
                                         StatCode(body), p.regs.BoardModel, body);
    return platform::WriteFileReplacing(p.svc.paths.workDir / fileName, ToCp1252(content));
}

std::string OperatorLog::Export(const std::string& fileName) {
    return WriteExportFile(p_, fileName, std::string("MOLTRIX SYSTEM LOG FILE - VARNOK ") + kWebAddress,
                           "The following contents are the log from the Moltrix Program", Text());
}

void OperatorLog::SystemLog_DblClick() {
    std::string error = Export("MOLTRIX.LOG");
    if (!error.empty()) {
        auto file = p_.svc.paths.workDir / "MOLTRIX.LOG";
        AddLogLine("MOLTRIX.LOG could not be written: " + error);
        p_.svc.dialogs.MessageBox("Can't write " + file.string() + ": " + error, "System Log Not Saved",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    AddLogLine("System Log was Saved to MOLTRIX.LOG file");
}

}  // namespace moltrix::feedback
