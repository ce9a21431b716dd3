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
#include <functional>
#include <string>

#include "main_window.h"

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

}  // namespace moltrix::app
