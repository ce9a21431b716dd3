#pragma once
// Whole-file reads and replacing writes. A write goes to a temporary file beside
// the target and is renamed over it, so a failed write leaves the old file
// intact. A symbolic link is written through to the file it points to; a file
// the user may not write (or marked read-only) is refused.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::platform {

struct ReadResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;  // why it failed, for the operator
};

// Fails with a reason for a missing file, a folder, an unreadable file, or a
// file longer than `maxBytes` (which is then not read at all).
ReadResult ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes = UINTMAX_MAX);

// Size of a regular file, or an error text.
bool FileSize(const std::filesystem::path& file, std::uintmax_t& size, std::string& error);

// Returns an empty text on success, otherwise the reason.
std::string WriteFileReplacing(const std::filesystem::path& file, std::string_view content);
std::string WriteFileReplacing(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size);

}  // namespace moltrix::platform
