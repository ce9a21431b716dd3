#pragma once
// The window's edges: the menu bar built from the form's menu tree, the
// toolbar and the status bar (status text, date, time).
#include <QAction>
#include <QMenu>
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "control_views.h"
#include "platform/clock.h"

class QLabel;
class QMenuBar;
class QStatusBar;
class QToolBar;

namespace moltrix::app {

// One menu entry or submenu and the action that shows it.
class MenuEntry : public QObject {
    Q_OBJECT
public:
    MenuEntry(form::MenuItem& item, QAction* action, QMenu* submenu, ActionRunner& runner);
    void Sync();
    QAction* Action() const { return action_; }

private slots:
    void action_triggered();
    void submenu_aboutToShow();

private:
    form::MenuItem& item_;
    QAction* action_;  // owned by its menu, which the window keeps while the entry lives
    ActionRunner& runner_;
    std::string shownCaption_;
};

class MenuBarView {
public:
    MenuBarView(form::MainForm& form, QMenuBar* bar, ActionRunner& runner);
    void Sync();
    // The action of the named menu entry, for tests and key handling.
    QAction* FindAction(const std::string& name) const;

private:
    void Add(form::MenuItem& item, QMenuBar* bar, QMenu* menu);
    std::vector<std::unique_ptr<MenuEntry>> entries_;
    ActionRunner& runner_;
};

class ToolbarView : public QObject {
    Q_OBJECT
public:
    ToolbarView(form::Toolbar& model, QWidget* parent, ActionRunner& runner);
    void Sync();
    QToolBar* Widget() const { return bar_; }
    // The action of the button at `position` (1-based, as the program counts).
    QAction* ButtonAction(int position) const;

private slots:
    void toolBar_actionTriggered(QAction* action);

private:
    form::Toolbar& model_;
    QToolBar* bar_;
    std::vector<QAction*> actions_;
    std::vector<std::string> shownCaptions_, shownTips_;  // per action, what it was last given
    ActionRunner& runner_;
};

class StatusBarView : public QObject {
    Q_OBJECT
public:
    StatusBarView(form::StatusBar& model, platform::Clock& clock, QWidget* parent);
    void Sync();
    QStatusBar* Widget() const { return bar_; }
    QString StatusText() const;
    // The bench's area, or nothing where the program runs on real ports.
    QLabel* BenchArea() const { return bench_; }

private slots:
    void clockTimer_timeout();

private:
    form::StatusBar& model_;
    platform::Clock& clock_;
    QStatusBar* bar_;
    QLabel* status_;
    QLabel* date_;
    QLabel* time_;
    QLabel* bench_ = nullptr;
    std::string shownStatus_;
    std::string shownBench_;
};

}  // namespace moltrix::app
