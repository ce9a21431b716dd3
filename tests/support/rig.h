#pragma once
// A whole core on fakes: a recording port, simulated time, scripted dialogs,
// and a fresh working folder for the files the program writes.
#include <filesystem>
#include <memory>

#include "fakes.h"
#include "shell/programmer.h"

namespace moltrix::testing {

// A fresh empty folder, removed again when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The whole content of a file, as bytes in a string; empty when it cannot be read.
std::string FileText(const std::filesystem::path& file);

// The device list's index of the entry that names `part` ("27C256"); -1 and a
// test failure when none does.
int DeviceListIndex(const Programmer& p, const std::string& part);

struct Rig {
    // A port and a clock of the test's own (the simulator's) replace the fakes.
    explicit Rig(platform::PortIo* port = nullptr, platform::Clock* clockOverride = nullptr);
    TempDir dir;
    RecordingPort recordingPort;
    FakeClock clock;
    FakeSound sound;
    MemorySettings settings;
    ScriptedDialogs dialogs;
    FakeHelp help;
    FakeLauncher launcher;
    CountingRefresh refresh;
    platform::Services services;
    std::unique_ptr<Programmer> core;
    Programmer& p() { return *core; }
    // Log lines without their leading line break and time stamp.
    std::vector<std::string> LogMessages() const;
};

}  // namespace moltrix::testing
