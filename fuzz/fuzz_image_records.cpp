// Intel HEX and S-record files as the operator loads them into the code
// buffer. Besides the sanitizers:
// - an image the reader accepts must come back byte for byte when written in
//   the same format and read again, also with CR-only or LF line ends, behind
//   a byte-order mark and in lower case;
// - a file named as the format it holds reads the same as without the name;
// - a file holding a byte no record text holds is read as it always was: raw,
//   unless its first line is a record's mark and hex digits alone.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "buffers/image_formats.h"

namespace {
using namespace moltrix::buffers;
constexpr std::size_t kMaxBytes = 2'100'001;  // the code buffer's size

void Check(bool good) {
    if (!good) __builtin_trap();
}

// A byte that no record text holds (a leading byte-order mark and the DOS end
// mark 1Ah aside).
bool HoldsBinaryByte(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x7F || (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != 0x1A);
    });
}

bool Hex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// How such files were always told apart: the first line that is not empty,
// split at LF, without CR and blanks at its end, is ':' and at least ten hex
// digits, or 'S', a digit and at least eight hex digits.
ImageFormat FormatOfBinaryFile(std::string_view text) {
    std::string_view line;
    while (line.empty() && !text.empty()) {
        const std::size_t end = text.find('\n');
        line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
    }
    if (line.size() >= 11 && line[0] == ':' && Hex(line.substr(1))) return ImageFormat::IntelHex;
    if (line.size() >= 10 && line[0] == 'S' && line[1] >= '0' && line[1] <= '9' && Hex(line.substr(2)))
        return ImageFormat::SRecord;
    return ImageFormat::Raw;
}

bool Same(const RecordImage& a, const RecordImage& b) {
    return a.format == b.format && a.error == b.error && a.bytes == b.bytes && a.records == b.records;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RecordImage image = ReadRecordImage(text, kMaxBytes);
    Check(Same(ReadRecordImage(text, kMaxBytes, "image.bin"), image));
    if (HoldsBinaryByte(text)) Check(image.format == FormatOfBinaryFile(text));
    if (image.format == ImageFormat::Raw) {
        Check(image.ok() && image.bytes.empty());
        return 0;
    }
    Check(Same(ReadRecordImage(text, kMaxBytes, image.format == ImageFormat::IntelHex ? "x.hex" : "x.s19"), image));
    if (!image.ok()) return 0;
    Check(image.bytes.size() <= kMaxBytes);

    const std::string again =
        image.format == ImageFormat::IntelHex ? WriteIntelHex(image.bytes) : WriteSRecords(image.bytes, "x");
    const RecordImage back = ReadRecordImage(again, kMaxBytes);
    Check(back.ok() && back.format == image.format && back.bytes == image.bytes);
    if (image.bytes.size() > 0x10000) return 0;  // the other shapes for small images only, to keep the pace
    std::string lower = again;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string crOnly = Replace(again, "\r\n", "\r"), marked = "\xEF\xBB\xBF" + Replace(again, "\r\n", "\n");
    for (const std::string& shape : {crOnly, marked, lower}) {
        const RecordImage other = ReadRecordImage(shape, kMaxBytes);
        Check(other.ok() && other.format == image.format && other.bytes == image.bytes);
    }
    return 0;
}
