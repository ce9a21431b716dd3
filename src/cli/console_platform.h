#pragma once
// The platform for the command line: message boxes on standard error, safety
// questions answered by --yes or on the terminal, the operator log echoed on
// standard output (or standard error), a progress bar on standard error when it is a terminal,
// and no sound, settings store, help or launcher.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/busy_wait.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/help_viewer.h"
#include "platform/plain_clock.h"
#include "platform/settings_store.h"
#include "platform/sound.h"
#include "platform/ui_refresh.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::cli {

class ConsoleDialogs : public platform::Dialogs {
public:
    explicit ConsoleDialogs(bool assumeYes) : assumeYes_(assumeYes) {}
    // A question is answered on the terminal: "y" or "n", and an empty answer
    // gives the question's default button.
    platform::MsgResult MessageBox(const std::string& text, const std::string& title, platform::MsgIcon icon,
                                   platform::MsgButtons buttons, platform::MsgDefault defaultButton) override;
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string FileDialog(platform::FileDialogMode, const std::string&, const std::string&, int*) override {
        return {};
    }
    // Run before any text goes to standard error (the progress bar clears its line).
    std::function<void()> beforeOutput;

private:
    bool assumeYes_;
};

// The PC's own clock: real sleeps and busy waits.
class ConsoleClock : public platform::Clock {
public:
    void Sleep(int milliseconds) override;
    void Spin(std::int32_t passes) override { platform::PacedSpin(platform::ThisPc(), passes); }
    void SpinNanos(std::int64_t nanos) override { platform::SpinNanos(platform::ThisPc(), nanos); }
    platform::LocalDateTime Now() override { return platform::LocalNow(); }
    std::int64_t MonotonicMicros() override { return platform::SteadyMicros(); }
    std::string FormatTime(const platform::LocalDateTime& t) override { return platform::PlainTime(t); }
    std::string FormatShortDate(const platform::LocalDateTime& t) override { return platform::PlainShortDate(t); }
};

// The progress bar of the form, drawn on standard error while it moves.
class ConsoleProgress : public platform::UiRefresh {
public:
    explicit ConsoleProgress(bool enabled) : enabled_(enabled) {}
    void SetTarget(const Programmer* p) { p_ = p; }
    void Refresh() override;
    // Clears the bar's line so other text starts on a clean line.
    void Clear();

private:
    bool enabled_;
    const Programmer* p_ = nullptr;
    bool shown_ = false;
    int lastPercent_ = -1;
};

// Prints each new entry of the operator log as one line on `out` (standard
// output, or standard error while a file goes to standard output).
class LogEcho {
public:
    LogEcho(Programmer& p, ConsoleProgress& progress, std::FILE* out);

private:
    void Print();
    Programmer& p_;
    ConsoleProgress& progress_;
    std::FILE* out_;
    std::uint64_t generation_ = 0;
    std::size_t printed_ = 0;
};

class SilentSound : public platform::SoundPlayer {
public:
    void PlayAsync(const std::filesystem::path&) override {}
};

// The command line never keeps the window's settings (its geometry).
class NoSettings : public platform::SettingsStore {
public:
    std::string Get(const std::string&, const std::string&, const std::string&, const std::string& d) override {
        return d;
    }
    void Set(const std::string&, const std::string&, const std::string&, const std::string&) override {}
};

class NoHelp : public platform::HelpViewer {
public:
    std::string Show(const std::filesystem::path&, int, const std::string&) override {
        return "no help viewer on the command line";
    }
};

class NoLauncher : public platform::Launcher {
public:
    bool Launch(const std::string&) override { return false; }
};

}  // namespace moltrix::cli
