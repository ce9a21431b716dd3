#pragma once
// The main window: a projection of the core's form model. It builds its widgets
// once from the model, passes every operator action to the core, and after each
// action (and whenever a long operation asks for a refresh) brings every widget
// in line with the model. It holds no program state of its own.
#include <QLabel>
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "bars.h"
#include "control_views.h"
#include "input_gate.h"
#include "qt_platform.h"
#include "shell/programmer.h"

namespace moltrix::app {

class MainWindow : public QMainWindow, public ActionRunner, public Syncable {
    Q_OBJECT
public:
    explicit MainWindow(Programmer& core);
    ~MainWindow() override;

    // Runs the core's start-up, brings the window in line, places it where the
    // model says, and shows it.
    void Start();

    void SyncFromModel() override;
    void RunOperatorAction(const std::function<void()>& action) override;

    // What the window shows, for tests.
    QWidget* ControlWidget(const std::string& controlName) const;
    QAction* MenuAction(const std::string& menuName) const;
    QAction* ToolbarAction(int position) const;
    QString StatusText() const;
    QLabel* BenchArea() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void ApplyGeometry();
    void StoreGeometry();
    void CloseOtherWindows();

    Programmer& core_;
    QWidget* client_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::unique_ptr<MenuBarView> menus_;
    std::unique_ptr<ToolbarView> toolbar_;
    std::unique_ptr<StatusBarView> status_;
    std::string shownTitle_;
    InputGate inputGate_;  // shut while an operator action runs
    bool closePending_ = false;  // a close asked for while an action ran
    int actionDepth_ = 0;        // 1 while an operator action runs (a long one may be on the stack)
    bool unloaded_ = false;
    bool geometryReapplied_ = false;
};

}  // namespace moltrix::app
