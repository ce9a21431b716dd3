// Whole-file reads and replacing writes on everything a name can stand for: a
// regular file, a link, a pipe, a device, a socket, a loop of links. Nothing
// here can block for long: pipes are opened by the test without blocking and
// given up after a few seconds, and a write as another user runs in a child
// that is killed when it takes too long.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <thread>

#include "platform/file_io.h"
#include "support/rig.h"

namespace moltrix::testing {
namespace {
namespace fs = std::filesystem;
using platform::ReadFileOrStream;
using platform::ReadWholeFile;
using platform::WriteFileReplacing;
using namespace std::chrono_literals;

constexpr unsigned kNobody = 65534;

std::string Bytes(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    std::mt19937 gen(seed);
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

void Put(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Text(const platform::ReadResult& r) { return {r.bytes.begin(), r.bytes.end()}; }

// Writes `text` into a FIFO once a reader has it open. Opens and writes
// without blocking and gives up after a few seconds, so a reader that never
// comes, or stops reading, cannot hang the test.
class FifoWriter {
public:
    FifoWriter(const fs::path& fifo, const std::string& text) : thread_([fifo, text] { Run(fifo, text); }) {}
    ~FifoWriter() { thread_.join(); }

private:
    static void Run(const fs::path& fifo, const std::string& text) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);  // a reader that stops gives EPIPE, not the signal
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        int fd = -1;
        while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(2ms);
        std::size_t at = 0;
        while (fd >= 0 && at < text.size() && std::chrono::steady_clock::now() < deadline) {
            const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
            if (n > 0) {
                at += static_cast<std::size_t>(n);
            } else if (errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 50);
            } else if (errno != EINTR) {
                break;
            }
        }
        if (fd >= 0) ::close(fd);
    }
    std::thread thread_;
};

// Runs `write` in a child process, as the user nobody when the test runs as
// root (root may write into any folder). Returns what `write` returned, or
// why the child gave no answer within a few seconds.
std::string AsAnotherUser(const std::function<std::string()>& write) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string answer;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            answer = "cannot become nobody";
        else
            answer = write();
        if (answer.empty()) answer = "ok";
        (void)!::write(out[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string answer;
    pollfd p{out[0], POLLIN, 0};
    char buf[256];
    while (::poll(&p, 1, 10000) > 0) {
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        answer.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (answer.empty()) ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return answer == "ok" ? "" : answer.empty() ? "the child gave no answer" : answer;
}

// Runs `io` on a thread of its own. Should it wait on the pipe `fifo` for
// its other end, both ends come and go at once to end the wait (a write
// then meets a closed pipe: an error, not the signal).
template <class Result>
Result Unblocked(const std::function<Result()>& io, const fs::path& fifo) {
    std::promise<Result> result;
    auto done = result.get_future();
    std::thread worker([&] {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        result.set_value(io());
    });
    if (done.wait_for(2s) != std::future_status::ready) {
        ADD_FAILURE() << "it waits on the pipe";
        const int r = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const int w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (w >= 0) ::close(w);
        if (r >= 0) ::close(r);
    }
    worker.join();
    return done.get();
}

TEST(FileWrite, RefusesWhatIsNotAFileAndLeavesItAsItWas) {
    TempDir dir;
    const fs::path& d = dir.path();
    ASSERT_EQ(::mkfifo((d / "pipe").c_str(), 0644), 0);
    fs::create_symlink("pipe", d / "to-pipe");
    fs::create_symlink("loop-b", d / "loop-a");
    fs::create_symlink("loop-a", d / "loop-b");
    fs::create_symlink("self", d / "self");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, (d / "socket").c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    ::close(sock);
    // A device node of the test's own (the null device's numbers); without
    // the right to make one, a link to /dev/null, which only root could
    // replace and root makes the node.
    const bool node = ::mknod((d / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (!node && ::geteuid() != 0) fs::create_symlink("/dev/null", d / "null");
    const bool haveNull = fs::exists(fs::symlink_status(d / "null"));

    struct Case {
        const char* name;
        std::string reason;
        fs::file_type type;
    } cases[] = {
        {"pipe", "it is a pipe (FIFO), not a file", fs::file_type::fifo},
        {"to-pipe", "it is a pipe (FIFO), not a file", fs::file_type::symlink},
        {"socket", "it is a socket, not a file", fs::file_type::socket},
        {"null", "it is a character device, not a file", node ? fs::file_type::character : fs::file_type::symlink},
        {"loop-a", "it is a loop of symbolic links", fs::file_type::symlink},
        {"self", "it is a loop of symbolic links", fs::file_type::symlink},
    };
    const auto before = Names(d);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "null" && !haveNull) continue;
        const std::function<std::string()> write = [&] { return WriteFileReplacing(d / c.name, "new contents"); };
        EXPECT_EQ(Unblocked(write, d / "pipe"), c.reason);
        EXPECT_EQ(fs::symlink_status(d / c.name).type(), c.type);
    }
    EXPECT_EQ(Names(d), before) << "no temporary is left behind";
}

TEST(FileWrite, ReplacesAFileThroughAnExclusiveTemporaryKeepingModeAndOwner) {
    TempDir dir;
    const fs::path file = dir.path() / "image.bin";
    Put(file, "old contents");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    }
    // A link planted at the name the temporary takes first must be neither
    // followed nor replaced.
    const std::string planted = "image.bin.tmp" + std::to_string(::getpid());
    Put(dir.path() / "victim", "victim");
    fs::create_symlink("victim", dir.path() / planted);

    EXPECT_EQ(WriteFileReplacing(file, "new contents"), "");
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, kNobody);
        EXPECT_EQ(st.st_gid, kNobody);
    }
    EXPECT_EQ(FileText(file), "new contents");
    EXPECT_EQ(FileText(dir.path() / "victim"), "victim");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / planted)));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"image.bin", planted, "victim"}));
}

// A file the user may write in a folder the user may not: written where it
// is, on a file system that can cut the old contents away in one step
// (/tmp) and on one that cannot (/dev/shm, when there is one).
TEST(FileWrite, WritesInPlaceWhereTheFolderMayNotBeWritten) {
    TempDir dir;
    std::vector<fs::path> bases{dir.path()};
    const fs::path shm = fs::path("/dev/shm") / ("moltrix-test-" + std::to_string(::getpid()));
    std::error_code ec;
    if (fs::create_directory(shm, ec)) bases.push_back(shm);
    for (const fs::path& base : bases) {
        SCOPED_TRACE(base.string());
        const fs::path locked = base / "locked", file = locked / "image.bin";
        fs::create_directory(locked);
        Put(file, Bytes(10000, 1));
        ASSERT_EQ(::chmod(base.c_str(), 0755), 0);
        ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        for (const std::string& content : {Bytes(3, 2), Bytes(20000, 3), std::string()}) {
            EXPECT_EQ(AsAnotherUser([&] { return WriteFileReplacing(file, content); }), "");
            EXPECT_TRUE(FileText(file) == content) << FileText(file).size() << " bytes for " << content.size();
            struct stat after {};
            ASSERT_EQ(::stat(file.c_str(), &after), 0);
            EXPECT_EQ(after.st_ino, before.st_ino) << "the same file, written in place";
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_EQ(Names(locked), std::vector<std::string>{"image.bin"});
        }
        ::chmod(locked.c_str(), 0755);
    }
    fs::remove_all(shm, ec);
}

TEST(FileRead, ReadsPipesAsStreamsAndRefusesDevices) {
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string image = Bytes(100000, 4);  // more than a pipe holds at once
    {
        FifoWriter writer(fifo, image);
        const auto r = ReadFileOrStream(fifo, 1 << 20);
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(Text(r) == image) << r.bytes.size() << " bytes for " << image.size();
    }
    {
        FifoWriter writer(fifo, image);
        const auto r = ReadFileOrStream(fifo, 1000);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, "more than 1000 bytes came in, too many for such a file");
    }
    fs::create_symlink("loop", dir.path() / "loop");
    struct Case {
        fs::path name;
        std::string reason;
    } cases[] = {
        {"/dev/zero", "it is a character device, not a file"},
        {dir.path() / "loop", "it is a loop of symbolic links"},
        {dir.path(), "it is a folder, not a file"},
        {dir.path() / "missing", "file not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = ReadFileOrStream(c.name, 1 << 20);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.reason);
    }
    // The program's own files are never streams: a pipe there could keep it
    // waiting for a writer.
    const std::function<platform::ReadResult()> read = [&] { return ReadWholeFile(fifo, 1 << 20); };
    const auto r = Unblocked(read, fifo);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "it is a pipe (FIFO), not a file");
}

}  // namespace
}  // namespace moltrix::testing
