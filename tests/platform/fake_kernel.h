#pragma once
// A fake Linux kernel for the parallel-port backends, behaving as the kernel
// does where it matters: the claim of a port (PPCLAIM) that another device has
// WAITS until that one lets go (here at most two seconds, after which the fake
// notes that it waited and goes on, so that a program that waits fails its
// test instead of hanging the suite); flock belongs to the open file;
// devices/active names the device that has the port ("ppdevN", "lp") or
// "none"; /proc/locks lists the flocks with their process; the register
// ioctls fail on a port that is not claimed.
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ports/kernel_calls.h"
#include "support/rig.h"

namespace moltrix::testing {

class FakeKernel : public platform::ports::KernelCalls {
public:
    explicit FakeKernel(std::filesystem::path procRoot) : procRoot_(std::move(procRoot)) {}

    // The ppdev node of port parport<number>; `openError` is what open and
    // access say to this user (0: may open it).
    void AddNode(const std::filesystem::path& node, unsigned number, int openError = 0, std::string group = "lp");
    // The process that makes the calls from now on.
    void ActAs(int pid, std::string name);
    // A kernel driver (the printer driver "lp") takes the port parport<number>, or lets it go.
    void DriverClaims(unsigned number, std::string driver);
    void DriverReleases(unsigned number);

    bool Waited() const;                // some claim had to wait for another holder
    std::size_t OpenFiles() const;      // descriptors not closed yet
    std::size_t Opens() const;          // open calls so far, failed ones included
    std::vector<std::string> Journal() const;  // claims, releases, register writes, port privileges
    int privilegeError = 0;             // what ioperm and iopl answer (EPERM for a user)
    std::uint8_t status = 0x7F;         // what the status lines show

    int Open(const std::filesystem::path& node) override;
    void Close(int fd) override;
    int LockNoWait(int fd) override;
    void Unlock(int fd) override;
    int Ioctl(int fd, unsigned long request, void* arg) override;
    std::optional<platform::ports::FileId> Identity(int fd) override;
    platform::ports::NodeFacts Examine(const std::filesystem::path& node) override;
    std::optional<std::string> ReadText(const std::filesystem::path& file) override;
    int Ioperm(unsigned long from, unsigned long count, bool on) override;
    int Iopl(int level) override;

private:
    struct Node {
        unsigned number = 0;
        int openError = 0;
        std::string group;
        int lockedBy = -1;  // the open file holding the flock
    };
    struct Port {
        std::string holder;  // devices/active; empty: none
        int holderFd = -1;
        std::uint8_t data = 0, control = 0;
    };
    struct OpenFile {
        std::filesystem::path node;
        int pid = 0;
        bool claimed = false;
    };
    platform::ports::FileId IdOf(const Node& node) const { return {0, 5, 1000ul + node.number}; }
    void LetGoLocked(int fd);
    std::string Name(const OpenFile& file) const;

    std::filesystem::path procRoot_;
    mutable std::mutex m_;
    std::condition_variable released_;
    std::map<std::filesystem::path, Node> nodes_;
    std::map<unsigned, Port> ports_;
    std::map<int, OpenFile> files_;
    std::map<int, std::string> processes_{{4712, "moltrix-cli"}};
    int pid_ = 4712;
    int nextFd_ = 10;
    std::size_t opens_ = 0;
    bool waited_ = false;
    std::vector<std::string> journal_;
};

// A PC's /proc/sys/dev/parport and /dev as temporary folders, with the fake kernel.
struct FakePc {
    enum class NodeKind { Usable, Denied, Missing };
    FakePc() : kernel(tmp.path() / "proc") {}
    // parport<number> with the base-addr text `baseAddr` ("53264\t53248\n").
    void AddPort(unsigned number, const std::string& baseAddr, NodeKind node = NodeKind::Usable,
                 const std::string& modes = "PCSPP,TRISTATE");
    void AddUsbPrinter(const std::string& name);
    std::filesystem::path proc() const { return tmp.path() / "proc"; }
    std::filesystem::path dev() const { return tmp.path() / "dev"; }
    std::filesystem::path Node(unsigned number) const { return dev() / ("parport" + std::to_string(number)); }
    TempDir tmp;
    FakeKernel kernel;
};

}  // namespace moltrix::testing
