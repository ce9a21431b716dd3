#pragma once
// Whole-file reads and replacing writes, each decided by what the name stands
// for before anything is opened.
//
// Reading: a regular file is read whole. Where a stream is welcome (the image
// files an operator or a script names), a pipe (FIFO) and standard input named
// "/dev/stdin" are read to their end too; elsewhere (the program's own files)
// a pipe is refused, as it could keep the program waiting for a writer. Never
// more than the given maximum is taken. A device, a socket, a folder or a loop
// of symbolic links is refused with the reason (a device such as /dev/zero
// never ends).
//
// Writing: a regular file, or a symbolic link to one, is replaced. The new
// contents go to a temporary file created beside it (exclusively: whatever
// already has that name, a planted link included, is neither followed nor
// replaced) and the temporary is renamed over it, so a failed write leaves
// the old file intact. The new file keeps the old one's permissions, and its
// owner and group when the program runs as root. A file the user may write in
// a folder the user may not is written where it is (see WriteInPlace in the
// source for what survives a failure then). "/dev/stdout" is written as the
// stream it is. A pipe, a device, a socket, a folder, a loop of symbolic
// links, a file marked read-only or one the user may not write is refused
// with the reason.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::platform {

struct ReadResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;           // why it failed, for the operator
    std::uintmax_t tooLong = 0;  // the length of a regular file longer than the maximum (then not read at all)
};

// Fails with a reason for a missing file, anything that is not a regular
// file, an unreadable file, or one longer than `maxBytes`.
ReadResult ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes);
// The same, but a pipe or "/dev/stdin" is read as a stream.
ReadResult ReadFileOrStream(const std::filesystem::path& file, std::uintmax_t maxBytes);

// Returns an empty text on success, otherwise the reason.
std::string WriteFileReplacing(const std::filesystem::path& file, std::string_view content);
std::string WriteFileReplacing(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size);

}  // namespace moltrix::platform
