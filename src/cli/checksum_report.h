#pragma once
// The checksums a command prints after its log lines, and the --expect gate.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace moltrix::cli {

// Prints "Checksums of the N bytes WHAT:" and a line per checksum, its name
// first: "crc32   CBF43926".
void PrintChecksums(std::FILE* out, const std::string& what, std::span<const std::uint8_t> bytes);

// The status after the gate: `status` as it is when the command failed
// (statuses 1 to 9) or every expected value is met; otherwise the mismatch
// status, after a line on standard error for each value that differs.
int CheckExpected(std::span<const std::uint8_t> bytes, const std::vector<std::string>& expect, int status);

}  // namespace moltrix::cli
