#pragma once
// What the tests of the real window share: its controls found by name as the
// window shows them, and a message box answered once it is up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "main_window.h"
#include "qt_platform.h"
#include "sim/simulated_ports.h"
#include "support/fakes.h"
#include "support/rig.h"

namespace moltrix::app {

// What the window shows of a control.
struct Shown {
    MainWindow& window;
    template <class W>
    W* Widget(const std::string& name) {
        auto* w = qobject_cast<W*>(window.ControlWidget(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QColor TextColor(const std::string& name) {
        return Widget<QLabel>(name)->palette().color(QPalette::Active, QPalette::WindowText);
    }
    QString Log() { return Widget<QPlainTextEdit>("SystemLog")->toPlainText(); }
};

// Runs `act` on the next message box once it is up. The window handles events
// before the box opens too, so a timer owned by `owner` waits for the box.
inline void WhenAMessageBoxShows(QObject* owner, std::function<void(QMessageBox*)> act) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll->stop();
        poll->deleteLater();
        act(box);
    });
    poll->start(1);
}

// The program, work and configuration folders of a test, in a temporary folder.
inline platform::Paths FolderPaths(const testing::TempDir& dir) {
    namespace fs = std::filesystem;
    for (const char* sub : {"program", "work", "config"}) fs::create_directories(dir.path() / sub);
    return {dir.path() / "program", dir.path() / "work", dir.path() / "config", {}, {}};
}

// The real window over a core on scripted fakes and a simulated port with no board.
struct WindowOnFakes {
    WindowOnFakes()
        : services{ports, clock, sound, settings, dialogs, help, launcher, refresh, FolderPaths(dir)},
          core(services), window(core) {
        refresh.SetTarget(&window);
    }
    ~WindowOnFakes() { refresh.SetTarget(nullptr); }

    testing::TempDir dir;
    sim::SimulatedPorts ports;
    testing::FakeClock clock;
    testing::FakeSound sound;
    testing::MemorySettings settings;
    testing::ScriptedDialogs dialogs;
    testing::FakeHelp help;
    testing::FakeLauncher launcher;
    QtUiRefresh refresh;  // the program's own throttle
    platform::Services services;
    Programmer core;
    MainWindow window;
    Shown shown{window};
};

}  // namespace moltrix::app
