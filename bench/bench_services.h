#pragma once
// Platform services that do nothing, for benchmarks of the core.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/busy_wait.h"
#include "platform/plain_clock.h"
#include "platform/services.h"

namespace moltrix::bench {

// A folder of the benchmark's own under the system's temporary folder, for the
// files the program writes ("moltrix6.ini" among them); removed at the end.
struct ScratchDir {
    ScratchDir() : path(std::filesystem::temp_directory_path() / ("moltrix-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // Program, working, configuration and data folders all in the scratch folder.
    platform::Paths Paths() const { return {path, path, path, {}, path}; }
    std::filesystem::path path;
};

struct FixedClock : platform::Clock {
    void Sleep(int) override {}
    void Spin(std::int32_t passes) override { platform::SpinPasses(passes); }  // the program's own cost
    void SpinNanos(std::int64_t nanos) override { platform::SpinNanos(platform::ThisPc(), nanos); }
    platform::LocalDateTime Now() override { return {2026, 12, 8, 12, 0, 0}; }
    std::int64_t MonotonicMicros() override { return platform::SteadyMicros(); }
    std::string FormatTime(const platform::LocalDateTime&) override { return "12:00:00"; }
    std::string FormatShortDate(const platform::LocalDateTime&) override { return "12/08/2026"; }
};
struct Quiet : platform::SoundPlayer, platform::SettingsStore, platform::Dialogs, platform::HelpViewer,
               platform::Launcher, platform::UiRefresh {
    void PlayAsync(const std::filesystem::path&) override {}
    std::string Get(const std::string&, const std::string&, const std::string&, const std::string& d) override {
        return d;
    }
    void Set(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    platform::MsgResult MessageBox(const std::string&, const std::string&, platform::MsgIcon,
                                   platform::MsgButtons, platform::MsgDefault) override {
        return platform::MsgResult::Ok;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string FileDialog(platform::FileDialogMode, const std::string&, const std::string&, int*) override {
        return {};
    }
    std::string Show(const std::filesystem::path&, int, const std::string&) override { return {}; }
    bool Launch(const std::string&) override { return true; }
    void Refresh() override {}
};

}  // namespace moltrix::bench
