#include "fake_kernel.h"

#include <linux/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace moltrix::testing {
namespace fs = std::filesystem;
using platform::ports::FileId;
using platform::ports::NodeFacts;

namespace {
// Long enough for a holder on another thread to let go; a program that waits
// at all is wrong, the bound only keeps it from hanging the suite.
constexpr auto kLongestClaimWait = std::chrono::seconds(2);

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}
}  // namespace

void FakeKernel::AddNode(const fs::path& node, unsigned number, int openError, std::string group) {
    std::lock_guard lock(m_);
    nodes_[node] = Node{number, openError, std::move(group), -1};
}

void FakeKernel::ActAs(int pid, std::string name) {
    std::lock_guard lock(m_);
    pid_ = pid;
    processes_[pid] = std::move(name);
}

void FakeKernel::DriverClaims(unsigned number, std::string driver) {
    std::lock_guard lock(m_);
    ports_[number].holder = std::move(driver);
}

void FakeKernel::DriverReleases(unsigned number) {
    {
        std::lock_guard lock(m_);
        ports_[number].holder.clear();
    }
    released_.notify_all();
}

bool FakeKernel::Waited() const {
    std::lock_guard lock(m_);
    return waited_;
}

std::size_t FakeKernel::OpenFiles() const {
    std::lock_guard lock(m_);
    return files_.size();
}

std::size_t FakeKernel::Opens() const {
    std::lock_guard lock(m_);
    return opens_;
}

std::vector<std::string> FakeKernel::Journal() const {
    std::lock_guard lock(m_);
    return journal_;
}

std::string FakeKernel::Name(const OpenFile& file) const { return "parport" + std::to_string(nodes_.at(file.node).number); }

int FakeKernel::Open(const fs::path& node) {
    std::lock_guard lock(m_);
    ++opens_;
    const auto it = nodes_.find(node);
    if (it == nodes_.end()) return -ENOENT;
    if (it->second.openError) return -it->second.openError;
    files_[nextFd_] = OpenFile{node, pid_, false};
    return nextFd_++;
}

// What closing, unlocking or PPRELEASE let go of; the caller holds m_.
void FakeKernel::LetGoLocked(int fd) {
    OpenFile& file = files_.at(fd);
    if (!file.claimed) return;
    Port& port = ports_[nodes_.at(file.node).number];
    port.holder.clear();
    port.holderFd = -1;
    file.claimed = false;
    journal_.push_back(Name(file) + " released");
}

void FakeKernel::Close(int fd) {
    {
        std::lock_guard lock(m_);
        if (!files_.count(fd)) return;
        LetGoLocked(fd);  // ppdev releases a port still claimed when its file closes
        Node& node = nodes_.at(files_.at(fd).node);
        if (node.lockedBy == fd) node.lockedBy = -1;
        files_.erase(fd);
    }
    released_.notify_all();
}

int FakeKernel::LockNoWait(int fd) {
    std::lock_guard lock(m_);
    if (!files_.count(fd)) return EBADF;
    Node& node = nodes_.at(files_.at(fd).node);
    if (node.lockedBy != -1 && node.lockedBy != fd) return EWOULDBLOCK;
    node.lockedBy = fd;
    return 0;
}

void FakeKernel::Unlock(int fd) {
    std::lock_guard lock(m_);
    if (!files_.count(fd)) return;
    Node& node = nodes_.at(files_.at(fd).node);
    if (node.lockedBy == fd) node.lockedBy = -1;
}

int FakeKernel::Ioctl(int fd, unsigned long request, void* arg) {
    std::unique_lock lock(m_);
    if (!files_.count(fd)) return EBADF;
    OpenFile& file = files_.at(fd);
    const unsigned number = nodes_.at(file.node).number;
    Port& port = ports_[number];
    if (request == PPCLAIM) {
        if (file.claimed) return EINVAL;
        if (!port.holder.empty()) {
            waited_ = true;
            released_.wait_for(lock, kLongestClaimWait, [&] { return port.holder.empty(); });
            // The kernel would go on waiting; the fake goes on, and the test fails on Waited().
        }
        char name[16];
        std::snprintf(name, sizeof name, "ppdev%x", number);
        port.holder = name;
        port.holderFd = fd;
        file.claimed = true;
        journal_.push_back(Name(file) + " claimed");
        return 0;
    }
    if (!file.claimed) return EINVAL;  // every other ioctl needs the port claimed first
    auto* byte = static_cast<unsigned char*>(arg);
    switch (request) {
        case PPRELEASE:
            LetGoLocked(fd);
            lock.unlock();
            released_.notify_all();
            return 0;
        case PPDATADIR:
            return 0;
        case PPWDATA:
            port.data = *byte;
            journal_.push_back(Name(file) + " data=" + Hex2(*byte));
            return 0;
        case PPWCONTROL:
            port.control = *byte;
            journal_.push_back(Name(file) + " control=" + Hex2(*byte));
            return 0;
        case PPRDATA:
            *byte = port.data;
            return 0;
        case PPRCONTROL:
            *byte = port.control;
            return 0;
        case PPRSTATUS:
            *byte = status;
            return 0;
        default:
            return EINVAL;
    }
}

std::optional<FileId> FakeKernel::Identity(int fd) {
    std::lock_guard lock(m_);
    if (!files_.count(fd)) return std::nullopt;
    return IdOf(nodes_.at(files_.at(fd).node));
}

NodeFacts FakeKernel::Examine(const fs::path& node) {
    std::lock_guard lock(m_);
    const auto it = nodes_.find(node);
    if (it == nodes_.end()) return {ENOENT, {}, {}};
    return {it->second.openError, it->second.group, IdOf(it->second)};
}

std::optional<std::string> FakeKernel::ReadText(const fs::path& file) {
    std::lock_guard lock(m_);
    if (file == "/proc/locks") {
        std::string text = "1: POSIX  ADVISORY  WRITE 999 00:1a:77 0 EOF\n";  // some other file's lock
        int n = 2;
        for (const auto& [path, node] : nodes_) {
            if (node.lockedBy == -1) continue;
            const FileId id = IdOf(node);
            char line[96];
            std::snprintf(line, sizeof line, "%d: FLOCK  ADVISORY  WRITE %d %02x:%02x:%lu 0 EOF\n", n++,
                          files_.at(node.lockedBy).pid, id.major, id.minor, id.inode);
            text += line;
        }
        return text;
    }
    for (const auto& [pid, name] : processes_)
        if (file == fs::path("/proc") / std::to_string(pid) / "comm") return name + "\n";
    for (const auto& [path, node] : nodes_) {
        if (file != procRoot_ / ("parport" + std::to_string(node.number)) / "devices" / "active") continue;
        const std::string& holder = ports_[node.number].holder;
        return (holder.empty() ? "none" : holder) + "\n";
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int FakeKernel::Ioperm(unsigned long from, unsigned long count, bool on) {
    std::lock_guard lock(m_);
    char line[48];
    std::snprintf(line, sizeof line, "ioperm %lX %lu %s", from, count, on ? "on" : "off");
    journal_.push_back(line);
    return on ? privilegeError : 0;
}

int FakeKernel::Iopl(int level) {
    std::lock_guard lock(m_);
    journal_.push_back("iopl " + std::to_string(level));
    return level ? privilegeError : 0;
}

void FakePc::AddPort(unsigned number, const std::string& baseAddr, NodeKind node, const std::string& modes) {
    const fs::path dir = proc() / ("parport" + std::to_string(number));
    fs::create_directories(dir / "devices");
    std::ofstream(dir / "base-addr") << baseAddr;
    std::ofstream(dir / "modes") << modes << "\n";
    if (node == NodeKind::Missing) return;
    kernel.AddNode(Node(number), number, node == NodeKind::Denied ? EACCES : 0);
}

void FakePc::AddUsbPrinter(const std::string& name) {
    fs::create_directories(dev() / "usb");
    std::ofstream(dev() / "usb" / name) << "";
}

}  // namespace moltrix::testing
