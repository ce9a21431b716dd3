#pragma once
// The platform interfaces the core uses, made with Qt: clock and date formats,
// sound cues, the settings store, dialogs, the help viewer and starting programs.
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

#include "platform/services.h"

class QSoundEffect;

namespace moltrix::app {

class QtUiRefresh;

// Sleeps wait on the event thread, busy waits run the loop; dates and times in
// the user's locale. A `sleeper` (the simulator's clock in bench mode) takes
// over the sleeps and the busy waits, so simulated time moves with them.
// Before a sleep the window is brought fully up to date (`refresh`), since
// nothing repaints it while the thread sleeps.
class QtClock : public platform::Clock {
public:
    explicit QtClock(platform::Clock* sleeper = nullptr, QtUiRefresh* refresh = nullptr)
        : sleeper_(sleeper), refresh_(refresh) {}
    void Sleep(int milliseconds) override;
    void Spin(std::int32_t passes) override;
    void SpinNanos(std::int64_t nanos) override;
    platform::LocalDateTime Now() override;
    std::int64_t MonotonicMicros() override;
    std::string FormatTime(const platform::LocalDateTime& t) override;
    std::string FormatShortDate(const platform::LocalDateTime& t) override;

private:
    platform::Clock* sleeper_;
    QtUiRefresh* refresh_;
};

// Plays WAV files with QSoundEffect. A missing file or no audio device stays
// silent; a new cue stops one still playing.
class QtSoundPlayer : public platform::SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void PlayAsync(const std::filesystem::path& wavFile) override;

private:
    std::map<std::filesystem::path, std::unique_ptr<QSoundEffect>> effects_;
    QSoundEffect* playing_ = nullptr;
};

// QSettings with the application name as organisation and application;
// keys are "section/key".
class QtSettingsStore : public platform::SettingsStore {
public:
    std::string Get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& defaultValue) override;
    void Set(const std::string& app, const std::string& section, const std::string& key,
             const std::string& value) override;
};

// Modal dialogs over the main window (once it is known). The window is brought
// fully up to date before a dialog opens, so the dialog never stands over a
// stale picture.
class QtDialogs : public platform::Dialogs {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void SetRefresh(QtUiRefresh* refresh) { refresh_ = refresh; }
    platform::MsgResult MessageBox(const std::string& text, const std::string& title, platform::MsgIcon icon,
                                   platform::MsgButtons buttons, platform::MsgDefault defaultButton) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string FileDialog(platform::FileDialogMode mode, const std::string& title, const std::string& filter,
                           int* chosenType) override;

private:
    void BeforeShowing();
    QPointer<QWidget> owner_;
    QtUiRefresh* refresh_ = nullptr;
};

// "All Files (*.*)|*.*" (description|pattern pairs) as Qt's "All Files (*)".
QString QtFileFilter(const std::string& filter);

class HelpWindow;

// The program's own viewer for its manual: the file is read afresh on each call
// and shown in one help window, at its contents or at its keyword index.
class QtHelpViewer : public platform::HelpViewer {
public:
    QtHelpViewer();
    ~QtHelpViewer() override;
    std::string Show(const std::filesystem::path& helpFile, int command, const std::string& keyword) override;
    HelpWindow* Window() const { return window_.get(); }  // for tests

private:
    std::unique_ptr<HelpWindow> window_;
};

class QtLauncher : public platform::Launcher {
public:
    bool Launch(const std::string& program) override;
};

// Something the refresh hook can bring in line with the form model.
class Syncable {
public:
    virtual ~Syncable() = default;
    virtual void SyncFromModel() = 0;
};

// Lets a long operation repaint the window: syncs the window from the model and
// handles paint events, never user input. Refresh() does so at most once per
// `minIntervalMs` and skips the calls in between; RefreshNow() does it at
// once. A skipped state is never the last one shown: every dialog, every
// sleep and the end of every operator action bring the window up to date.
class QtUiRefresh : public platform::UiRefresh {
public:
    explicit QtUiRefresh(int minIntervalMs = 30) : minIntervalMs_(minIntervalMs) {}
    void SetTarget(Syncable* target) { target_ = target; }
    void Refresh() override;
    void RefreshNow();

private:
    int minIntervalMs_;
    Syncable* target_ = nullptr;
    QElapsedTimer sinceLast_;
};

}  // namespace moltrix::app
