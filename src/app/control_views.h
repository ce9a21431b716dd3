#pragma once
// One view per control of the form model: the Qt widget that shows it, the
// code that brings the widget in line with the model, and the slots that pass
// the operator's actions on to the model. Views keep no program state; what
// they remember (last text and colour, how much of a log is shown) only saves
// work.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "form/main_form.h"

class QWidget;

namespace moltrix::app {

// Runs an operator action on the core, then brings the whole window in line.
class ActionRunner {
public:
    virtual ~ActionRunner() = default;
    virtual void RunOperatorAction(const std::function<void()>& action) = 0;
};

class ControlView : public QObject {
    Q_OBJECT
public:
    ControlView(form::Control& model, QWidget* widget, ActionRunner& runner);
    QWidget* Widget() const { return widget_; }
    form::Control& Model() const { return model_; }
    // Brings the widget in line with the model; cheap when nothing changed.
    virtual void Sync();

protected:
    void SyncForeColor(int paletteRole);

    form::Control& model_;
    QWidget* widget_;  // a child of the window, which outlives its views
    ActionRunner& runner_;
    std::string shownCaption_;

private:
    bool colorApplied_ = false;
    form::Color shownColor_;
    std::string shownTip_;
};

// Builds the view for a control, with its widget as a child of `parent`.
// Returns nothing for controls shown elsewhere (toolbar, status bar) or not at
// all (timer).
std::unique_ptr<ControlView> MakeControlView(form::Control& control, QWidget* parent, ActionRunner& runner);

}  // namespace moltrix::app
