#pragma once
// Every call the port backends make into the kernel, behind one small
// interface: the real Linux kernel in the program, a fake kernel in the tests.
#include <filesystem>
#include <optional>
#include <string>

namespace moltrix::platform::ports {

// A file as /proc/locks names it: the device of its file system
// (major:minor) and its inode.
struct FileId {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned long inode = 0;
    bool operator==(const FileId&) const = default;
};

// What stat and access tell of a device node without opening it.
struct NodeFacts {
    int error = 0;      // 0: this user may open it to read and write; else the errno (ENOENT: no node)
    std::string group;  // the node's group ("lp"); empty when unknown
    FileId id;
};

class KernelCalls {
public:
    virtual ~KernelCalls() = default;
    // open(node, O_RDWR | O_CLOEXEC): the descriptor, or minus the errno.
    virtual int Open(const std::filesystem::path& node) = 0;
    virtual void Close(int fd) = 0;
    // flock(fd, LOCK_EX | LOCK_NB): 0 or the errno (EWOULDBLOCK: another open
    // file holds the lock). Unlock: flock(fd, LOCK_UN).
    virtual int LockNoWait(int fd) = 0;
    virtual void Unlock(int fd) = 0;
    // ioctl(fd, request, arg): 0 or the errno.
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    // fstat(fd): the open file's identity.
    virtual std::optional<FileId> Identity(int fd) = 0;
    // stat and access(R_OK | W_OK) of a node, and its group's name.
    virtual NodeFacts Examine(const std::filesystem::path& node) = 0;
    // The whole text of a file (the /proc files); nothing when it cannot be read.
    virtual std::optional<std::string> ReadText(const std::filesystem::path& file) = 0;
    // x86 port privileges: ioperm(from, count, on) and iopl(level); 0 or the errno.
    virtual int Ioperm(unsigned long from, unsigned long count, bool on) = 0;
    virtual int Iopl(int level) = 0;
};

// The kernel this program runs on.
KernelCalls& RealKernel();

}  // namespace moltrix::platform::ports
