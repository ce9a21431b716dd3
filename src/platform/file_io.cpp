#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace moltrix::platform {
namespace fs = std::filesystem;
namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Why a name that is not a regular file is not read or written as one.
std::string NotAFile(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a file";
    if (S_ISCHR(mode)) return "it is a character device, not a file";
    if (S_ISBLK(mode)) return "it is a block device, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    return "it is not a file";
}

std::string StatError(int err) {
    if (err == ENOENT) return "file not found";
    if (err == ELOOP) return "it is a loop of symbolic links";
    return ErrnoText(err);
}

// Reads `fd` to its end into `bytes`; more than `maxBytes` is refused as soon
// as it has come in, so an endless stream is never read forever.
std::string ReadStream(int fd, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes) {
    const std::uintmax_t limit = maxBytes == UINTMAX_MAX ? maxBytes : maxBytes + 1;
    for (;;) {
        const std::size_t at = bytes.size();
        if (at >= limit)
            return "more than " + std::to_string(maxBytes) + " bytes came in, too many for such a file";
        const auto want = static_cast<std::size_t>(std::min<std::uintmax_t>(limit - at, 1u << 16));
        bytes.resize(at + want);
        const ssize_t n = ::read(fd, bytes.data() + at, want);
        const int err = errno;
        bytes.resize(at + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n == 0) return {};
        if (n < 0 && err != EINTR) return ErrnoText(err);
    }
}

// Writes everything at `at`, or where the stream stands when `at` is -1.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = at < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        if (at >= 0) at += n;
    }
    return true;
}

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

// Creates a temporary beside `file`, exclusively: a name that is taken, by
// anything, is passed over for the next, never opened. The first name tried
// is the file's name + ".tmp" + the process id.
int CreateTemporary(const fs::path& file, fs::path& tmp) {
    static std::atomic<unsigned> counter{0};
    const std::string base = file.string() + ".tmp" + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = attempt == 0 ? base : base + "-" + std::to_string(++counter);
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes an open regular file where it is: for a file whose folder takes no
// temporary. The new contents first go after the old ones, from the next
// block on, and are flushed to the disk; then the file system cuts the old
// blocks from the file's start in one step (FALLOC_FL_COLLAPSE_RANGE, which
// ext4 and XFS offer). A write that fails before the cut (a full disk) leaves
// the old contents as they were; a crash before it leaves them followed by a
// gap and the new ones. Where the file system cannot cut (tmpfs, NFS, FAT) the
// new contents are written over the old and the file is cut to their length:
// a failure or a crash midway then leaves a mix of old and new.
std::string WriteOver(int fd, const std::uint8_t* data, std::size_t size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return ErrnoText(errno);
    if (!S_ISREG(st.st_mode)) return NotAFile(st.st_mode);
    const off_t old = st.st_size;
    const off_t block = st.st_blksize > 0 ? st.st_blksize : 4096;
    const off_t start = (old + block - 1) / block * block;
    if (size > 0 && start > 0) {
        if (!WriteAll(fd, data, size, start) || ::fsync(fd) != 0) {
            const int err = errno;
            (void)!::ftruncate(fd, old);
            return ErrnoText(err);
        }
        if (::fallocate(fd, FALLOC_FL_COLLAPSE_RANGE, 0, start) == 0)
            return ::fsync(fd) == 0 ? std::string() : ErrnoText(errno);
        (void)!::ftruncate(fd, old);  // no cutting here: back to the old contents alone
    }
    if (!WriteAll(fd, data, size, 0) || ::ftruncate(fd, static_cast<off_t>(size)) != 0 || ::fsync(fd) != 0)
        return ErrnoText(errno);
    return {};
}

std::string WriteInPlace(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return ErrnoText(errno);
    std::string error = WriteOver(fd, data, size);
    if (::close(fd) != 0 && error.empty()) error = ErrnoText(errno);
    return error;
}

// Replaces `file` (a regular file described by `old`, or none yet) through a
// temporary beside it.
std::string Replace(const fs::path& file, const struct stat* old, const std::uint8_t* data, std::size_t size) {
    fs::path tmp;
    const int fd = CreateTemporary(file, tmp);
    if (fd < 0) {
        const int err = errno;
        if (old && (err == EACCES || err == EPERM)) return WriteInPlace(file, data, size);
        return ErrnoText(err);
    }
    if (old) {
        // Made by root, the new file would be root's: it goes back to the old
        // file's owner and group (a file system without owners refuses, and
        // then has nothing to keep). The owner first: a change of owner
        // clears the set-id bits the mode then puts back.
        if (::geteuid() == 0) (void)!::fchown(fd, old->st_uid, old->st_gid);
        (void)!::fchmod(fd, old->st_mode & 07777);
    }
    int err = WriteAll(fd, data, size, 0) ? 0 : errno;
    if (::fsync(fd) != 0 && !err) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmp.c_str(), file.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        return ErrnoText(err);
    }
    return {};
}

ReadResult Read(const fs::path& file, std::uintmax_t maxBytes, bool streams) {
    ReadResult r;
    struct stat st {};
    if (streams && file == "/dev/stdin") {
        // Whatever the program was given: a pipe, a socket or a file.
        if (::fstat(STDIN_FILENO, &st) != 0) {
            r.error = ErrnoText(errno);
        } else if (::isatty(STDIN_FILENO)) {
            r.error = "standard input is a terminal, not a file";
        } else if (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
            r.error = ReadStream(STDIN_FILENO, maxBytes, r.bytes);
            r.ok = r.error.empty();
        } else {
            r.error = NotAFile(st.st_mode);
        }
        if (!r.ok) r.bytes.clear();
        return r;
    }
    if (::stat(file.c_str(), &st) != 0) {
        r.error = StatError(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode) && !(streams && S_ISFIFO(st.st_mode))) {
        r.error = NotAFile(st.st_mode);
        return r;
    }
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        r.tooLong = static_cast<std::uintmax_t>(st.st_size);
        r.error = "the file is " + std::to_string(r.tooLong) + " bytes long, far more than such a file holds";
        return r;
    }
    // A pipe is opened as its readers do, waiting for a writer; a file
    // without waiting, should the name have become a pipe meanwhile.
    const mode_t kind = st.st_mode & S_IFMT;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | (S_ISREG(kind) ? O_NONBLOCK : 0));
    if (fd < 0) {
        r.error = ErrnoText(errno);
        return r;
    }
    if (::fstat(fd, &st) != 0 || (st.st_mode & S_IFMT) != kind) {
        r.error = "the file changed while it was read";
    } else {
        if (S_ISREG(kind)) r.bytes.reserve(static_cast<std::size_t>(st.st_size));
        r.error = ReadStream(fd, maxBytes, r.bytes);
    }
    ::close(fd);
    r.ok = r.error.empty();
    if (!r.ok) r.bytes.clear();
    return r;
}

}  // namespace

ReadResult ReadWholeFile(const fs::path& file, std::uintmax_t maxBytes) { return Read(file, maxBytes, false); }

ReadResult ReadFileOrStream(const fs::path& file, std::uintmax_t maxBytes) { return Read(file, maxBytes, true); }

std::string WriteFileReplacing(const fs::path& name, const std::uint8_t* data, std::size_t size) {
    if (name == "/dev/stdout") {
        // The stream the program was given: a pipe, a terminal, or a file the
        // shell opened; what the program printed before comes first.
        std::fflush(stdout);
        return WriteAll(STDOUT_FILENO, data, size, -1) ? std::string() : ErrnoText(errno);
    }
    // Decided before anything is opened: opening a pipe would wait for a
    // reader, and a device or a socket is no file to replace.
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        if (errno != ENOENT) return StatError(errno);
        return Replace(LinkTarget(name), nullptr, data, size);  // a new file, where a dangling link points too
    }
    if (!S_ISREG(st.st_mode)) return NotAFile(st.st_mode);
    // The folder's rights alone would let the file be replaced: a file its
    // owner marked read-only, or one this user may not write, is refused as
    // writing it in place would be.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "the file is read-only";
    const fs::path file = LinkTarget(name);
    if (::access(file.c_str(), W_OK) != 0) return ErrnoText(errno);
    return Replace(file, &st, data, size);
}

std::string WriteFileReplacing(const fs::path& file, std::string_view content) {
    return WriteFileReplacing(file, reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
}

}  // namespace moltrix::platform
