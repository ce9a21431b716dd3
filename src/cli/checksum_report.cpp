#include "checksum_report.h"

#include "buffers/checksums.h"
#include "exit_status.h"

namespace moltrix::cli {

void PrintChecksums(std::FILE* out, const std::string& what, std::span<const std::uint8_t> bytes) {
    std::fprintf(out, "Checksums of the %zu bytes %s:\n", bytes.size(), what.c_str());
    for (const buffers::NamedChecksum& c : buffers::NamedChecksums(bytes))
        std::fprintf(out, "%-7s %s\n", c.name, c.value.c_str());
}

int CheckExpected(std::span<const std::uint8_t> bytes, const std::vector<std::string>& expect, int status) {
    if (expect.empty() || (status != kSuccess && status != kBitsWavered && status != kNoMajority)) return status;
    const auto actual = buffers::NamedChecksums(bytes);
    bool met = true;
    for (const std::string& text : expect) {
        std::string error;
        const auto wanted = buffers::ParseExpectedChecksum(text, error);
        if (!wanted) continue;  // the parser has refused it already
        for (const buffers::NamedChecksum& c : actual) {
            if (wanted->name != c.name || buffers::ChecksumEquals(c.value, wanted->value)) continue;
            std::fprintf(stderr, "moltrix-cli: %s is %s, not %s as expected\n", c.name, c.value.c_str(),
                         wanted->value.c_str());
            met = false;
        }
    }
    return met ? status : kChecksumMismatch;
}

}  // namespace moltrix::cli
