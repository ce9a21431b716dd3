#pragma once
// Whole-file reads and replacing writes. A write goes to a temporary file beside
// the target and is renamed over it, so a failed write leaves the old file intact.
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

// Fails with a reason for a missing file, a folder or an unreadable file.
ReadResult ReadWholeFile(const std::filesystem::path& file);

// Size of a regular file, or an error text.
bool FileSize(const std::filesystem::path& file, std::uintmax_t& size, std::string& error);

// Returns an empty text on success, otherwise the reason.
std::string WriteFileReplacing(const std::filesystem::path& file, std::string_view content);
std::string WriteFileReplacing(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size);

}  // namespace moltrix::platform
