// Intel HEX and Motorola S-record files. Written from the formats' own
// definitions: a line is a mark, then hex digit pairs; Intel HEX counts the
// data bytes and sums every byte with its checksum to zero, S-records count the
// address, data and checksum bytes and end with the complement of their sum.
#include "buffers/image_formats.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace moltrix::buffers {
namespace {

constexpr std::size_t kRecordData = 16;  // data bytes per written record

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool AllHex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return HexDigit(c) >= 0; });
}

std::string Hex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Takes the next line off `text`: up to its CR LF, LF or lone CR, without the
// blanks at either end.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos)
        text = {};
    else
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    while (!line.empty() && Blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && Blank(line.back())) line.remove_suffix(1);
    return line;
}

// The file's text without a leading UTF-8 byte-order mark and without a DOS
// end-of-file mark (1Ah) that only line ends or more marks follow.
std::string_view TextOf(std::string_view content) {
    if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
    if (auto eof = content.find('\x1A'); eof != std::string_view::npos &&
                                         content.find_first_not_of("\r\n\x1A", eof) == std::string_view::npos)
        content = content.substr(0, eof);
    return content;
}

// The bytes a record file's text is made of: printable ASCII, blanks, tabs and
// line ends. A raw image nearly always holds some other byte.
bool AllTextBytes(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 0x20 && u < 0x7F) || u == '\t' || u == '\r' || u == '\n';
    });
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) lines.push_back(NextLine(text));
    return lines;
}

// A line that begins as a record of the format does: ':', or 'S' (either
// case) and a type digit.
bool StartsAsRecord(std::string_view line, ImageFormat format) {
    if (format == ImageFormat::IntelHex) return line.starts_with(':');
    return line.size() >= 2 && (line[0] == 'S' || line[0] == 's') && line[1] >= '0' && line[1] <= '9';
}

// A file holding bytes no record text holds is a record file only when its
// first line, split at LF alone, is the mark and hex digits only, at least as
// many as the shortest record has: the rule such files have always been read
// by, so that no raw image changes its reading.
ImageFormat FormatOfBinaryFile(std::string_view content) {
    std::string_view line;
    while (line.empty() && !content.empty()) {
        const std::size_t end = content.find('\n');
        line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || Blank(line.back()))) line.remove_suffix(1);
    }
    if (line.size() >= 11 && line[0] == ':' && AllHex(line.substr(1))) return ImageFormat::IntelHex;
    if (line.size() >= 10 && line[0] == 'S' && line[1] >= '0' && line[1] <= '9' && AllHex(line.substr(2)))
        return ImageFormat::SRecord;
    return ImageFormat::Raw;
}

// How a file is read. Its name decides when it names a record format; else a
// file of text whose first line begins as a record is records, damaged or
// not, and any other file is a raw image.
ImageFormat FormatOf(std::string_view fileName, std::string_view content) {
    if (const ImageFormat named = FormatFromExtension(fileName); named != ImageFormat::Raw) return named;
    std::string_view text = TextOf(content);
    if (!AllTextBytes(text)) return FormatOfBinaryFile(content);
    std::string_view first;
    while (first.empty() && !text.empty()) first = NextLine(text);
    for (ImageFormat format : {ImageFormat::IntelHex, ImageFormat::SRecord})
        if (StartsAsRecord(first, format)) return format;
    return ImageFormat::Raw;
}

// Builds the image while the records are read; owns the refusal texts every
// format shares.
class ImageBuilder {
public:
    ImageBuilder(RecordImage& out, std::size_t maxBytes) : out_(out), max_(maxBytes) {}

    bool Fail(int line, std::string reason) {
        out_.errorLine = line;
        out_.error = "line " + std::to_string(line) + ": " + std::move(reason);
        out_.bytes.clear();
        return false;
    }
    // The record's bytes after the mark (and, for S-records, its type digit).
    bool Bytes(int line, std::string_view digits, std::vector<std::uint8_t>& bytes) {
        if (digits.size() % 2 != 0)
            return Fail(line, AllHex(digits) ? "an odd number of hex digits" : "a character that is not a hex digit");
        bytes.resize(digits.size() / 2);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const int high = HexDigit(digits[2 * i]), low = HexDigit(digits[2 * i + 1]);
            if (high < 0 || low < 0) return Fail(line, "a character that is not a hex digit");
            bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
        }
        return true;
    }
    // A record's data bytes at `address` on.
    bool Store(int line, std::uint64_t address, std::span<const std::uint8_t> data) {
        if (data.empty()) return true;
        const std::uint64_t top = address + data.size() - 1;
        if (top >= max_)
            return Fail(line, "address " + Hex(std::max<std::uint64_t>(address, max_), 4) + "h is beyond the " +
                                  std::to_string(max_) + "-byte buffer");
        if (top >= out_.bytes.size()) {
            out_.bytes.resize(static_cast<std::size_t>(top) + 1, 0xFF);
            givenBy_.resize(out_.bytes.size(), 0);
        }
        // A byte two records give must be the same in both: which one a chip
        // should get cannot be known.
        for (std::size_t i = 0; i < data.size(); ++i) {
            const auto at = static_cast<std::size_t>(address) + i;
            if (givenBy_[at] != 0 && out_.bytes[at] != data[i])
                return Fail(line, "address " + Hex(at, 4) + "h is given as " + Hex(data[i], 2) + "h, line " +
                                      std::to_string(givenBy_[at]) + " gave it " + Hex(out_.bytes[at], 2) + "h");
            out_.bytes[at] = data[i];
            if (givenBy_[at] == 0) givenBy_[at] = static_cast<std::uint32_t>(line);
        }
        if (!hasData_ || address < out_.lowest) out_.lowest = static_cast<std::uint32_t>(address);
        if (!hasData_ || top > out_.highest) out_.highest = static_cast<std::uint32_t>(top);
        hasData_ = true;
        return true;
    }
    // What follows the end record is not read (a comment, a tool's note),
    // unless it is another record: files joined one after the other would
    // lose all but the first. A file without data or without its end record
    // is not whole.
    bool Finish(const std::vector<std::string_view>& lines, int endLine, const char* endName, ImageFormat format) {
        if (endLine == 0) return Fail(static_cast<int>(lines.size()), std::string("the file ends without ") + endName);
        for (std::size_t i = static_cast<std::size_t>(endLine); i < lines.size(); ++i)
            if (StartsAsRecord(lines[i], format))
                return Fail(static_cast<int>(i + 1), std::string("a record after ") + endName);
        if (!hasData_) return Fail(endLine, "the file holds no data records");
        return true;
    }

private:
    RecordImage& out_;
    std::size_t max_;
    bool hasData_ = false;
    std::vector<std::uint32_t> givenBy_;  // per address, the first line that gave it; 0: none
};

bool ReadIntelHex(const std::vector<std::string_view>& lines, ImageBuilder& image, RecordImage& out) {
    std::uint64_t base = 0;  // from the last type 02 or 04 record
    bool segment = false;    // the last was type 02: offsets wrap within the 64 KiB segment
    std::vector<std::uint8_t> b;
    int endLine = 0;
    for (std::size_t i = 0; i < lines.size() && endLine == 0; ++i) {
        const int n = static_cast<int>(i + 1);
        const std::string_view line = lines[i];
        if (line.empty()) continue;
        if (line[0] != ':') return image.Fail(n, "not an Intel HEX record (no ':' at its start)");
        if (!image.Bytes(n, line.substr(1), b)) return false;
        if (b.size() < 5 || b.size() != 5u + b[0])
            return image.Fail(n, "the record's length does not match its byte count " +
                                     (b.empty() ? std::string("(none)") : Hex(b[0], 2) + "h"));
        std::uint8_t sum = 0;
        for (std::uint8_t v : b) sum = static_cast<std::uint8_t>(sum + v);
        if (sum != 0)
            return image.Fail(n, "checksum " + Hex(b.back(), 2) + "h is wrong, the record needs " +
                                     Hex(static_cast<std::uint8_t>(b.back() - sum), 2) + "h");
        ++out.records;
        const std::size_t count = b[0];
        const unsigned offset = b[1] * 256u + b[2];
        const std::uint8_t type = b[3];
        auto needs = [&](std::size_t bytes) {
            return count == bytes ||
                   image.Fail(n, "a type " + Hex(type, 2) + " record holds " + std::to_string(bytes) + " bytes, not " +
                                     std::to_string(count));
        };
        switch (type) {
            case 0x00: {
                // A segment's offset wraps at 64 KiB; a linear address runs
                // on into the next 64 KiB bank.
                const std::span<const std::uint8_t> data(b.data() + 4, count);
                const std::size_t below = segment ? std::min<std::size_t>(count, 0x10000 - offset) : count;
                if (!image.Store(n, base + offset, data.first(below)) || !image.Store(n, base, data.subspan(below)))
                    return false;
                break;
            }
            case 0x01:
                if (!needs(0)) return false;
                endLine = n;
                break;
            case 0x02:
                if (!needs(2)) return false;
                base = (b[4] * 256u + b[5]) * 16u;
                segment = true;
                break;
            case 0x04:
                if (!needs(2)) return false;
                base = static_cast<std::uint64_t>(b[4] * 256u + b[5]) << 16;
                segment = false;
                break;
            case 0x03:
            case 0x05:  // start addresses: nothing for a chip image
                if (!needs(4)) return false;
                break;
            default: return image.Fail(n, "unknown record type " + Hex(type, 2));
        }
    }
    return image.Finish(lines, endLine, "the end-of-file record (type 01)", ImageFormat::IntelHex);
}

bool ReadSRecords(const std::vector<std::string_view>& lines, ImageBuilder& image, RecordImage& out) {
    std::vector<std::uint8_t> b;
    std::uint64_t dataRecords = 0;
    int endLine = 0;
    for (std::size_t i = 0; i < lines.size() && endLine == 0; ++i) {
        const int n = static_cast<int>(i + 1);
        const std::string_view line = lines[i];
        if (line.empty()) continue;
        if (!StartsAsRecord(line, ImageFormat::SRecord))
            return image.Fail(n, "not an S-record (no 'S' and type digit at its start)");
        const int type = line[1] - '0';
        // Address bytes by type; S4 is reserved.
        constexpr int kAddressBytes[10] = {2, 2, 3, 4, -1, 2, 3, 4, 3, 2};
        const int addressBytes = kAddressBytes[type];
        if (addressBytes < 0) return image.Fail(n, "unknown record type S4");
        if (!image.Bytes(n, line.substr(2), b)) return false;
        if (b.empty() || b.size() != 1u + b[0] || b[0] < addressBytes + 1)
            return image.Fail(n, "the record's length does not match its byte count " +
                                     (b.empty() ? std::string("(none)") : Hex(b[0], 2) + "h"));
        std::uint8_t sum = 0;
        for (std::size_t k = 0; k + 1 < b.size(); ++k) sum = static_cast<std::uint8_t>(sum + b[k]);
        const std::uint8_t want = static_cast<std::uint8_t>(~sum);
        if (b.back() != want)
            return image.Fail(n, "checksum " + Hex(b.back(), 2) + "h is wrong, the record needs " + Hex(want, 2) + "h");
        ++out.records;
        std::uint64_t address = 0;
        for (int k = 0; k < addressBytes; ++k) address = address * 256 + b[1 + static_cast<std::size_t>(k)];
        const std::size_t first = 1 + static_cast<std::size_t>(addressBytes), last = b.size() - 1;
        if (type >= 1 && type <= 3) {
            ++dataRecords;
            if (!image.Store(n, address, std::span<const std::uint8_t>(b.data() + first, last - first))) return false;
        } else if ((type == 5 || type == 6) && address != dataRecords) {
            return image.Fail(n, "the count record says " + std::to_string(address) + " data records, the file has " +
                                     std::to_string(dataRecords) + " before it");
        } else if (type >= 7) {
            endLine = n;  // the start address means nothing for a chip image
        }
    }
    return image.Finish(lines, endLine, "an end record (S7, S8 or S9)", ImageFormat::SRecord);
}

void AppendByte(std::string& text, std::uint8_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[v >> 4];
    text += kDigits[v & 15];
}

std::string RecordLine(char mark, std::string_view type, const std::vector<std::uint8_t>& body, std::uint8_t check) {
    std::string line(1, mark);
    line += type;
    for (std::uint8_t v : body) AppendByte(line, v);
    AppendByte(line, check);
    return line + "\r\n";
}

std::string IntelHexRecord(std::uint8_t type, unsigned offset, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
                                   static_cast<std::uint8_t>(offset), type};
    body.insert(body.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (std::uint8_t v : body) sum = static_cast<std::uint8_t>(sum + v);
    return RecordLine(':', "", body, static_cast<std::uint8_t>(-sum));
}

std::string SRecord(int type, std::uint64_t address, int addressBytes, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(addressBytes + data.size() + 1)};
    for (int k = addressBytes - 1; k >= 0; --k) body.push_back(static_cast<std::uint8_t>(address >> (8 * k)));
    body.insert(body.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (std::uint8_t v : body) sum = static_cast<std::uint8_t>(sum + v);
    return RecordLine('S', std::to_string(type), body, static_cast<std::uint8_t>(~sum));
}

}  // namespace

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::IntelHex: return "Intel HEX";
        case ImageFormat::SRecord: return "Motorola S-record";
        case ImageFormat::Raw: break;
    }
    return "raw binary";
}

ImageFormat FormatFromExtension(std::string_view fileName) {
    const std::size_t dot = fileName.find_last_of("./");
    if (dot == std::string_view::npos || fileName[dot] != '.') return ImageFormat::Raw;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "hex" || ext == "ihx") return ImageFormat::IntelHex;
    if (ext == "s19" || ext == "s28" || ext == "s37" || ext == "srec" || ext == "mot") return ImageFormat::SRecord;
    return ImageFormat::Raw;
}

RecordImage ReadRecordImage(std::string_view content, std::size_t maxBytes, std::string_view fileName) {
    RecordImage out;
    out.format = FormatOf(fileName, content);
    if (out.format == ImageFormat::Raw) return out;
    const std::vector<std::string_view> lines = Lines(TextOf(content));
    ImageBuilder image(out, maxBytes);
    if (out.format == ImageFormat::IntelHex) ReadIntelHex(lines, image, out);
    if (out.format == ImageFormat::SRecord) ReadSRecords(lines, image, out);
    return out;
}

std::string WriteIntelHex(std::span<const std::uint8_t> image) {
    std::string text;
    text.reserve(image.size() / kRecordData * 45 + 64);
    for (std::size_t at = 0; at < image.size();) {
        if (at % 0x10000 == 0 && at > 0) {
            const auto upper = static_cast<std::uint16_t>(at >> 16);
            const std::uint8_t page[2] = {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)};
            text += IntelHexRecord(0x04, 0, page);
        }
        // A record never crosses a 64 KiB step.
        const std::size_t n = std::min({kRecordData, image.size() - at, 0x10000 - at % 0x10000});
        text += IntelHexRecord(0x00, static_cast<unsigned>(at & 0xFFFF), image.subspan(at, n));
        at += n;
    }
    return text + IntelHexRecord(0x01, 0, {});
}

std::string WriteSRecords(std::span<const std::uint8_t> image, std::string_view header) {
    const std::uint64_t top = image.empty() ? 0 : image.size() - 1;
    const int addressBytes = top <= 0xFFFF ? 2 : top <= 0xFFFFFF ? 3 : 4;
    const int dataType = addressBytes - 1;  // S1, S2, S3
    const std::string_view name = header.substr(0, 64);
    std::string text = SRecord(0, 0, 2, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
    text.reserve(image.size() / kRecordData * 48 + 96);
    std::uint64_t records = 0;
    for (std::size_t at = 0; at < image.size(); at += kRecordData, ++records)
        text += SRecord(dataType, at, addressBytes, image.subspan(at, std::min(kRecordData, image.size() - at)));
    if (records <= 0xFFFF) text += SRecord(5, records, 2, {});
    else if (records <= 0xFFFFFF) text += SRecord(6, records, 3, {});
    return text + SRecord(10 - dataType, 0, addressBytes, {});  // S9, S8, S7
}

}  // namespace moltrix::buffers
