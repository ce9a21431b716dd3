#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace moltrix::platform {
namespace fs = std::filesystem;

bool FileSize(const fs::path& file, std::uintmax_t& size, std::string& error) {
    std::error_code ec;
    auto st = fs::status(file, ec);
    if (!fs::exists(st)) {
        error = ec && ec != std::errc::no_such_file_or_directory ? ec.message() : "file not found";
        return false;
    }
    if (fs::is_directory(st)) {
        error = "it is a folder, not a file";
        return false;
    }
    size = fs::file_size(file, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    return true;
}

ReadResult ReadWholeFile(const fs::path& file, std::uintmax_t maxBytes) {
    ReadResult r;
    std::uintmax_t size = 0;
    if (!FileSize(file, size, r.error)) return r;
    if (size > maxBytes) {
        r.error = "the file is " + std::to_string(size) + " bytes long, far more than such a file holds";
        return r;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        r.error = std::strerror(errno);
        if (r.error.empty()) r.error = "cannot open the file";
        return r;
    }
    r.bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(r.bytes.data()), static_cast<std::streamsize>(size))) {
        r.error = "cannot read the file";
        r.bytes.clear();
        return r;
    }
    r.ok = true;
    return r;
}

namespace {

// The file a write really replaces: where a symbolic link (or a chain of
// them) points; the name itself otherwise.
fs::path LinkTarget(fs::path file) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
        const fs::path target = fs::read_symlink(file, ec);
        if (ec) return file;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

}  // namespace

std::string WriteFileReplacing(const fs::path& name, const std::uint8_t* data, std::size_t size) {
    const fs::path file = LinkTarget(name);
    std::error_code ec;
    if (fs::is_directory(file, ec)) return "it is a folder, not a file";
    // The new file is renamed over the old one, which the folder's rights
    // alone would allow: a file its owner marked read-only, or one this user
    // may not write, is refused as writing it in place would be. The new file
    // keeps the old one's permissions.
    struct stat old {};
    const bool replacing = ::stat(file.c_str(), &old) == 0;
    if (replacing) {
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "the file is read-only";
        if (::access(file.c_str(), W_OK) != 0) return std::strerror(errno);
    }
    fs::path tmp = file;
    tmp += ".tmp" + std::to_string(::getpid());
    {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f) return std::strerror(errno);
        if (replacing) ::fchmod(::fileno(f), old.st_mode & 07777);
        bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
        int err = ok ? 0 : errno;
        if (std::fflush(f) != 0 && ok) {
            ok = false;
            err = errno;
        }
        if (::fsync(::fileno(f)) != 0 && ok) {
            ok = false;
            err = errno;
        }
        if (std::fclose(f) != 0 && ok) {
            ok = false;
            err = errno;
        }
        if (!ok) {
            fs::remove(tmp, ec);
            return err ? std::strerror(err) : "write failed";
        }
    }
    fs::rename(tmp, file, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(tmp, ignore);
        return ec.message();
    }
    return {};
}

std::string WriteFileReplacing(const fs::path& file, std::string_view content) {
    return WriteFileReplacing(file, reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
}

}  // namespace moltrix::platform
