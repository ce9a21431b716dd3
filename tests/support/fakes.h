#pragma once
// Scripted stand-ins for everything the platform gives the core.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace moltrix::testing {

// Keeps every port access in order; reads come from a queue, else a function,
// else FFh.
class RecordingPort : public platform::PortIo {
public:
    struct Access {
        bool write;
        std::uint16_t port;
        std::uint8_t value;
        friend bool operator==(const Access&, const Access&) = default;
    };
    void PortOut(std::uint16_t port, std::uint8_t value) override { log.push_back({true, port, value}); }
    std::uint8_t PortIn(std::uint16_t port) override {
        std::uint8_t v = 0xFF;
        if (!reads.empty()) {
            v = reads.front();
            reads.pop_front();
        } else if (readFn) {
            v = readFn(port);
        }
        log.push_back({false, port, v});
        return v;
    }
    std::vector<Access> Writes() const {
        std::vector<Access> w;
        for (const auto& a : log)
            if (a.write) w.push_back(a);
        return w;
    }
    std::vector<Access> log;
    std::deque<std::uint8_t> reads;
    std::function<std::uint8_t(std::uint16_t)> readFn;
};

// Simulated time: sleeps advance it and never wait; busy waits are counted, not run.
class FakeClock : public platform::Clock {
public:
    void Sleep(int ms) override {
        sleptMs += ms;
        Advance(ms / 1000);
    }
    void Spin(std::int32_t passes) override {
        if (passes > 0) spunPasses += passes;
    }
    void SpinNanos(std::int64_t nanos) override {
        if (nanos > 0) spunNanos += nanos;
    }
    platform::LocalDateTime Now() override { return now; }
    // Sleeps move it on, and so does every reading (by `microsPerReading`),
    // so a routine waiting for time to pass never waits for ever.
    std::int64_t MonotonicMicros() override {
        monotonicMicros += microsPerReading;
        return sleptMs * 1000 + monotonicMicros;
    }
    std::string FormatTime(const platform::LocalDateTime& t) override;
    std::string FormatShortDate(const platform::LocalDateTime& t) override;
    void Advance(int seconds);
    platform::LocalDateTime now{2026, 12, 7, 17, 51, 5};
    long long sleptMs = 0;
    std::int64_t monotonicMicros = 0, microsPerReading = 1000;
    long long spunPasses = 0;
    long long spunNanos = 0;
};

class FakeSound : public platform::SoundPlayer {
public:
    void PlayAsync(const std::filesystem::path& f) override { played.push_back(f); }
    std::vector<std::filesystem::path> played;
};

class MemorySettings : public platform::SettingsStore {
public:
    std::string Get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& def) override {
        auto it = values.find(app + "/" + section + "/" + key);
        return it == values.end() ? def : it->second;
    }
    void Set(const std::string& app, const std::string& section, const std::string& key,
             const std::string& value) override {
        values[app + "/" + section + "/" + key] = value;
    }
    std::map<std::string, std::string> values;
};

// Records what was shown and answers from scripts (OK, empty text when a
// script runs dry).
class ScriptedDialogs : public platform::Dialogs {
public:
    struct Shown {
        std::string kind, text, title;
        platform::MsgIcon icon = platform::MsgIcon::None;
        platform::MsgButtons buttons = platform::MsgButtons::Ok;
        platform::MsgDefault defaultButton = platform::MsgDefault::First;
    };
    platform::MsgResult MessageBox(const std::string& text, const std::string& title, platform::MsgIcon icon,
                                   platform::MsgButtons buttons, platform::MsgDefault defaultButton) override;
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& def) override;
    std::string FileDialog(platform::FileDialogMode mode, const std::string& title, const std::string& filter,
                           int* chosenType) override;
    std::vector<Shown> shown;
    std::deque<platform::MsgResult> messageAnswers;
    std::deque<std::string> inputAnswers;
    std::deque<std::string> fileAnswers;
    std::deque<int> fileTypeAnswers;  // the file type left selected; 0 when the script runs dry
    std::function<void()> whileMessageShown;  // runs while a message box is open
};

class FakeHelp : public platform::HelpViewer {
public:
    std::string Show(const std::filesystem::path& f, int command, const std::string& keyword) override {
        calls.push_back({f, command, keyword});
        return error;
    }
    struct Call {
        std::filesystem::path file;
        int command;
        std::string keyword;
    };
    std::vector<Call> calls;
    std::string error;
};

class FakeLauncher : public platform::Launcher {
public:
    bool Launch(const std::string& program) override {
        launched.push_back(program);
        return ok;
    }
    std::vector<std::string> launched;
    bool ok = true;
};

class CountingRefresh : public platform::UiRefresh {
public:
    void Refresh() override {
        ++count;
        if (onRefresh) onRefresh();
    }
    int count = 0;
    std::function<void()> onRefresh;
};

}  // namespace moltrix::testing
