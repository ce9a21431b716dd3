#include "bars.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "icons.h"

#include "qt_text.h"

namespace moltrix::app {
namespace {

// A separator has no caption; any other action shows the model's, an empty
// one included. `shownCaption` remembers what the action was last given.
void SyncAction(QAction* a, bool separator, std::string& shownCaption, const std::string& caption, bool enabled,
                bool visible) {
    if (!separator && TextChanged(shownCaption, caption)) a->setText(Q(caption));
    if (a->isEnabled() != enabled) a->setEnabled(enabled);
    if (a->isVisible() != visible) a->setVisible(visible);
}

}  // namespace

// ---- Menus ----

MenuEntry::MenuEntry(form::MenuItem& item, QAction* action, QMenu* submenu, ActionRunner& runner)
    : item_(item), action_(action), runner_(runner), shownCaption_(item.caption) {
    if (submenu)
        connect(submenu, &QMenu::aboutToShow, this, &MenuEntry::submenu_aboutToShow);
    else if (!item.separator)
        connect(action, &QAction::triggered, this, &MenuEntry::action_triggered);
}

void MenuEntry::Sync() {
    SyncAction(action_, item_.separator, shownCaption_, item_.caption, item_.enabled, item_.visible);
    if (action_->isCheckable() != item_.checkable) action_->setCheckable(item_.checkable);
    if (item_.checkable && action_->isChecked() != item_.checked) action_->setChecked(item_.checked);
}

void MenuEntry::action_triggered() {
    runner_.RunOperatorAction([this] { item_.Click(); });
}

void MenuEntry::submenu_aboutToShow() {
    // A menu that has its own handler (the setups menu) brings its entries up
    // to date before it opens.
    if (item_.onClick) runner_.RunOperatorAction([this] { item_.Click(); });
}

MenuBarView::MenuBarView(form::MainForm& form, QMenuBar* bar, ActionRunner& runner) : runner_(runner) {
    for (form::MenuItem* top : form.menuBar) Add(*top, bar, nullptr);
}

void MenuBarView::Add(form::MenuItem& item, QMenuBar* bar, QMenu* menu) {
    QAction* action = nullptr;
    QMenu* submenu = nullptr;
    if (item.separator) {
        action = menu->addSeparator();
    } else if (!item.children.empty() || !menu) {
        submenu = bar ? bar->addMenu(Q(item.caption)) : menu->addMenu(Q(item.caption));
        action = submenu->menuAction();
    } else {
        action = menu->addAction(Q(item.caption));
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(Q(item.shortcut)));
    }
    action->setObjectName(Q(item.name));
    entries_.push_back(std::make_unique<MenuEntry>(item, action, submenu, runner_));
    for (form::MenuItem* child : item.children) Add(*child, nullptr, submenu);
}

void MenuBarView::Sync() {
    for (auto& e : entries_) e->Sync();
}

QAction* MenuBarView::FindAction(const std::string& name) const {
    const QString objectName = Q(name);
    for (const auto& e : entries_)
        if (e->Action()->objectName() == objectName) return e->Action();
    return nullptr;
}

// ---- Toolbar ----

ToolbarView::ToolbarView(form::Toolbar& model, QWidget* parent, ActionRunner& runner)
    : model_(model), bar_(new QToolBar(parent)), runner_(runner) {
    bar_->setMovable(false);
    bar_->setIconSize(QSize(16, 16));
    bar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const form::ToolButton& b : model.buttons) {
        QAction* a = nullptr;
        if (b.separator) {
            a = bar_->addSeparator();
        } else {
            const bool opens = b.key.rfind("Open", 0) == 0;
            a = bar_->addAction(opens ? OpenFileIcon() : SaveFileIcon(), Q(b.caption));
        }
        actions_.push_back(a);
        shownCaptions_.push_back(b.caption);
    }
    shownTips_.resize(actions_.size());
    connect(bar_, &QToolBar::actionTriggered, this, &ToolbarView::toolBar_actionTriggered);
}

void ToolbarView::Sync() {
    for (std::size_t i = 0; i < actions_.size() && i < model_.buttons.size(); ++i) {
        const form::ToolButton& b = model_.buttons[i];
        SyncAction(actions_[i], b.separator, shownCaptions_[i], b.caption, b.enabled, b.visible);
        // An empty tool tip, too, leaves the action's own.
        if (!b.toolTip.empty() && TextChanged(shownTips_[i], b.toolTip)) actions_[i]->setToolTip(Q(b.toolTip));
    }
}

QAction* ToolbarView::ButtonAction(int position) const {
    if (position < 1 || position > static_cast<int>(actions_.size())) return nullptr;
    return actions_[static_cast<std::size_t>(position - 1)];
}

void ToolbarView::toolBar_actionTriggered(QAction* action) {
    for (std::size_t i = 0; i < actions_.size(); ++i)
        if (actions_[i] == action) {
            const int position = static_cast<int>(i) + 1;
            runner_.RunOperatorAction([this, position] { model_.ClickButton(position); });
            return;
        }
}

// ---- Status bar ----

StatusBarView::StatusBarView(form::StatusBar& model, platform::Clock& clock, QWidget* parent)
    : model_(model), clock_(clock), bar_(new QStatusBar(parent)), status_(new QLabel), date_(new QLabel),
      time_(new QLabel) {
    bar_->setSizeGripEnabled(false);
    status_->setTextFormat(Qt::PlainText);
    // A long status text takes the room there is rather than widening the window.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar_->addWidget(status_, 1);
    bar_->addPermanentWidget(date_);
    bar_->addPermanentWidget(time_);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &StatusBarView::clockTimer_timeout);
    timer->start(1000);
    clockTimer_timeout();
}

QString StatusBarView::StatusText() const { return status_->text(); }

void StatusBarView::Sync() {
    // The text area shows its own title while no operation reports in it.
    static const std::string kIdle = "Status";
    const std::string& text = model_.statusText.empty() ? kIdle : model_.statusText;
    if (TextChanged(shownStatus_, text)) status_->setText(Q(text));
    if (!model_.benchText.empty() && !bench_) {
        bench_ = new QLabel;
        bench_->setTextFormat(Qt::PlainText);
        bar_->addPermanentWidget(bench_);
    }
    if (bench_ && TextChanged(shownBench_, model_.benchText)) bench_->setText(Q(model_.benchText));
    if (bench_ && bench_->isHidden() != model_.benchText.empty()) bench_->setVisible(!model_.benchText.empty());
}

void StatusBarView::clockTimer_timeout() {
    const platform::LocalDateTime now = clock_.Now();
    const QString date = Q(clock_.FormatShortDate(now));
    const QString time = Q(clock_.FormatTime(now));
    if (date_->text() != date) date_->setText(date);
    if (time_->text() != time) time_->setText(time);
}

}  // namespace moltrix::app
