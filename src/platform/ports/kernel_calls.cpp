// The real kernel behind KernelCalls: plain Linux system calls.
#include "platform/ports/kernel_calls.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#if defined(__linux__)
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#if (defined(__x86_64__) || defined(__i386__)) && defined(__linux__) && __has_include(<sys/io.h>)
#define MOLTRIX_PORT_PRIVILEGES 1
#include <sys/io.h>
#endif

namespace moltrix::platform::ports {
namespace {

class SystemKernel final : public KernelCalls {
public:
#if defined(__linux__)
    int Open(const std::filesystem::path& node) override {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }
    void Close(int fd) override { ::close(fd); }
    int LockNoWait(int fd) override { return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno; }
    void Unlock(int fd) override { ::flock(fd, LOCK_UN); }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        return ::ioctl(fd, request, arg) == 0 ? 0 : errno;
    }
    std::optional<FileId> Identity(int fd) override {
        struct stat st {};
        if (::fstat(fd, &st) != 0) return std::nullopt;
        return IdOf(st);
    }
    NodeFacts Examine(const std::filesystem::path& node) override {
        NodeFacts facts;
        struct stat st {};
        if (::stat(node.c_str(), &st) != 0) {
            facts.error = errno;
            return facts;
        }
        facts.id = IdOf(st);
        facts.group = GroupName(st.st_gid);
        if (::access(node.c_str(), R_OK | W_OK) != 0) facts.error = errno;
        return facts;
    }
#else
    int Open(const std::filesystem::path&) override { return -ENOSYS; }
    void Close(int) override {}
    int LockNoWait(int) override { return ENOSYS; }
    void Unlock(int) override {}
    int Ioctl(int, unsigned long, void*) override { return ENOSYS; }
    std::optional<FileId> Identity(int) override { return std::nullopt; }
    NodeFacts Examine(const std::filesystem::path&) override { return {ENOSYS, {}, {}}; }
#endif

    std::optional<std::string> ReadText(const std::filesystem::path& file) override {
        std::ifstream in(file, std::ios::binary);  // /proc files tell no size: read to the end
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

#if defined(MOLTRIX_PORT_PRIVILEGES)
    int Ioperm(unsigned long from, unsigned long count, bool on) override {
        return ::ioperm(from, count, on ? 1 : 0) == 0 ? 0 : errno;
    }
    int Iopl(int level) override { return ::iopl(level) == 0 ? 0 : errno; }
#else
    int Ioperm(unsigned long, unsigned long, bool) override { return ENOSYS; }
    int Iopl(int) override { return ENOSYS; }
#endif

private:
#if defined(__linux__)
    static FileId IdOf(const struct stat& st) {
        return {static_cast<unsigned>(major(st.st_dev)), static_cast<unsigned>(minor(st.st_dev)),
                static_cast<unsigned long>(st.st_ino)};
    }
    static std::string GroupName(gid_t gid) {
        struct group entry {};
        struct group* found = nullptr;
        char buffer[4096];
        if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) != 0 || !found) return std::to_string(gid);
        return found->gr_name;
    }
#endif
};

}  // namespace

KernelCalls& RealKernel() {
    static SystemKernel kernel;
    return kernel;
}

}  // namespace moltrix::platform::ports
