#include "buffers/hex_page.h"

#include <cassert>

namespace moltrix::buffers {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

}  // namespace

PrintRule PrintRule::FromSet(std::string_view printable) {
    PrintRule r;
    for (char c : printable) r.printable_[static_cast<unsigned char>(c)] = true;
    return r;
}

PrintRule PrintRule::BlankToLowerZ() {
    PrintRule r;
    for (int b = 32; b <= 122; ++b) r.printable_[b] = true;
    return r;
}

std::string FormatLine(std::uint32_t address, std::span<const std::uint8_t, kLineBytes> bytes,
                       const PrintRule& rule) {
    std::string line;
    line.reserve(kLineChars);
    for (int shift = 20; shift >= 0; shift -= 4) line += kHex[(address >> shift) & 0xF];
    line += "| ";
    for (std::size_t i = 0; i < kLineBytes; ++i) {
        line += kHex[bytes[i] >> 4];
        line += kHex[bytes[i] & 0xF];
        if (i % 4 == 3) line += ' ';
    }
    line += "| ";
    for (std::uint8_t b : bytes) line += rule.Show(b);
    return line;
}

std::string FormatLines(std::uint32_t address, std::span<const std::uint8_t> bytes, std::size_t lines,
                        const PrintRule& rule) {
    assert(bytes.size() >= lines * kLineBytes);
    std::string text;
    text.reserve(lines * (kLineChars + 2));
    for (std::size_t n = 0; n < lines; ++n) {
        if (n > 0) text += "\r\n";
        text += FormatLine(address + static_cast<std::uint32_t>(n * kLineBytes),
                           bytes.subspan(n * kLineBytes).first<kLineBytes>(), rule);
    }
    return text;
}

}  // namespace moltrix::buffers
