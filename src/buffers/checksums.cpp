#include "buffers/checksums.h"

#include <nettle/sha2.h>
#include <zlib.h>

#include <algorithm>
#include <boost/crc.hpp>
#include <cctype>
#include <cstdio>

namespace moltrix::buffers {
namespace {

constexpr const char* kNames[] = {"sum16", "crc32", "crc16", "sha256"};

std::string Hex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// The hex digits of a value as a canonical text: no prefix, upper case, no
// leading zeros. Empty when it is not hex.
std::string Canonical(std::string text) {
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)
        text.erase(0, 2);
    else if (text.rfind('$', 0) == 0)
        text.erase(0, 1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return {};
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

}  // namespace

std::vector<NamedChecksum> NamedChecksums(std::span<const std::uint8_t> bytes) {
    std::uint16_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint16_t>(sum + b);

    // zlib takes at most 4 GiB a call; a chip image is far below that.
    const uLong crc32 = ::crc32(::crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size()));

    boost::crc_ccitt_type crc16;  // polynomial 1021h, start FFFFh, neither reflected: CCITT-FALSE
    crc16.process_bytes(bytes.data(), bytes.size());

    sha256_ctx sha;
    sha256_init(&sha);
    sha256_update(&sha, bytes.size(), bytes.data());
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&sha, sizeof digest, digest);
    std::string sha256;  // lower case, as sha256sum and the ROM lists print it
    for (std::uint8_t b : digest) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", b);
        sha256 += hex;
    }
    return {{kNames[0], Hex(sum, 4)}, {kNames[1], Hex(crc32, 8)}, {kNames[2], Hex(crc16.checksum(), 4)},
            {kNames[3], sha256}};
}

std::string ChecksumNames() {
    std::string names;
    for (const char* name : kNames) names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

std::optional<ExpectedChecksum> ParseExpectedChecksum(const std::string& text, std::string& error) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) {
        error = "\"" + text + "\" is not NAME=VALUE (NAME one of " + ChecksumNames() + ")";
        return std::nullopt;
    }
    ExpectedChecksum expected{text.substr(0, eq), text.substr(eq + 1)};
    for (char& c : expected.name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (std::none_of(std::begin(kNames), std::end(kNames), [&](const char* n) { return expected.name == n; })) {
        error = "no checksum named \"" + text.substr(0, eq) + "\" (the names are " + ChecksumNames() + ")";
        return std::nullopt;
    }
    if (Canonical(expected.value).empty()) {
        error = "\"" + expected.value + "\" is not a hex value";
        return std::nullopt;
    }
    return expected;
}

bool ChecksumEquals(const std::string& actual, const std::string& expected) {
    const std::string a = Canonical(actual);
    return !a.empty() && a == Canonical(expected);
}

}  // namespace moltrix::buffers
