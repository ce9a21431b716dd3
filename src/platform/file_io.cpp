#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

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

ReadResult ReadWholeFile(const fs::path& file) {
    ReadResult r;
    std::uintmax_t size = 0;
    if (!FileSize(file, size, r.error)) return r;
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

std::string WriteFileReplacing(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::error_code ec;
    if (fs::is_directory(file, ec)) return "it is a folder, not a file";
    fs::path tmp = file;
    tmp += ".tmp" + std::to_string(::getpid());
    {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f) return std::strerror(errno);
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
