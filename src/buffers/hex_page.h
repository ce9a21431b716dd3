#pragma once
// The text of a hex/ASCII page, apart from where its bytes come from.
//
// One line is 62 characters:
//   000010| 48656C6C 6F2C2057 6F726C64 21FFFFFF | Hello,.World!...
//   address (last six hex digits), "| ", four groups of four bytes each followed
//   by a blank, "| ", then one character per byte.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace moltrix::buffers {

inline constexpr std::size_t kLineBytes = 16;
inline constexpr std::size_t kLineChars = 62;

// Which characters a view prints as themselves; the rest show as ".".
class PrintRule {
public:
    // The buffer views: exactly the characters of the given set.
    static PrintRule FromSet(std::string_view printable);
    // The device view: byte values 32 to 122, blank to "z".
    static PrintRule BlankToLowerZ();
    char Show(std::uint8_t byte) const { return printable_[byte] ? static_cast<char>(byte) : '.'; }

private:
    bool printable_[256] = {};
};

// One line for the 16 bytes starting at `address`.
std::string FormatLine(std::uint32_t address, std::span<const std::uint8_t, kLineBytes> bytes,
                       const PrintRule& rule);

// `lines` lines for the bytes starting at `address`, joined by CR LF, with no
// line break after the last one.
std::string FormatLines(std::uint32_t address, std::span<const std::uint8_t> bytes, std::size_t lines,
                        const PrintRule& rule);

}  // namespace moltrix::buffers
