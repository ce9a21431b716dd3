#pragma once
// The checksums an operator compares a chip's contents with: the 16-bit byte
// sum the log shows, and the CRC32, CRC-16 and SHA-256 that chip labels and
// ROM lists carry. Each has a short name, as --expect takes it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace moltrix::buffers {

struct NamedChecksum {
    const char* name;   // "sum16", "crc32", "crc16", "sha256"
    std::string value;  // hex, every digit: upper case, sha256's lower case as sha256sum prints it
};

// The four checksums of `bytes`: sum16 (the byte sum modulo 65536), crc32 (as
// zlib computes it), crc16 (CRC-16/CCITT-FALSE) and sha256.
std::vector<NamedChecksum> NamedChecksums(std::span<const std::uint8_t> bytes);

// The names, "sum16, crc32, crc16, sha256", for messages.
std::string ChecksumNames();

// A checksum the operator expects: NAME=VALUE, the name in any letter case,
// the value in hex (an "0x" or "$" before it allowed).
struct ExpectedChecksum {
    std::string name;   // lower case
    std::string value;  // as given
};
// Nothing and an error text in `error` when `text` is not NAME=VALUE with a
// known name and a hex value.
std::optional<ExpectedChecksum> ParseExpectedChecksum(const std::string& text, std::string& error);

// Whether `actual` (a NamedChecksum's value) is the value expected: hex
// digits compared as numbers (letter case and leading zeros do not matter).
bool ChecksumEquals(const std::string& actual, const std::string& expected);

}  // namespace moltrix::buffers
