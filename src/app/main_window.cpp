#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <map>

#include "about_dialog.h"
#include "icons.h"
#include "layout.h"
#include "qt_text.h"

namespace moltrix::app {

MainWindow::MainWindow(Programmer& core) : core_(core), client_(new QWidget(this)) {
    setCentralWidget(client_);
    client_->setMinimumSize(kClientWidth, kClientHeight);
    // The controls are laid out for a small dialog font of 11 pixels; a
    // condensed face, where the system has one, keeps long captions whole.
    QFont small = client_->font();
    small.setPixelSize(11);
    small.setStretch(QFont::SemiCondensed);
    client_->setFont(small);
    client_->installEventFilter(this);

    BuildControls();
    menus_ = std::make_unique<MenuBarView>(core_.form, menuBar(), *this);
    toolbar_ = std::make_unique<ToolbarView>(core_.form.tbToolBar, client_, *this);
    status_ = std::make_unique<StatusBarView>(core_.form.sbStatusBar, core_.svc.clock, client_);
    toolbar_->Widget()->setToolTip(Q(core_.form.tbToolBar.toolTip));
    PlaceEdges();

    // File > Exit runs inside an operator action, which closes the window once it has returned.
    core_.closeMainWindow = [this] { close(); };
    core_.closeOtherWindows = [this] { CloseOtherWindows(); };
    core_.about.showModal = [this] {
        AboutDialog box(core_.about.form, this);
        box.Run();
    };
    setWindowIcon(ProgramIcon());
    SyncFromModel();
}

MainWindow::~MainWindow() {
    core_.closeMainWindow = nullptr;
    core_.closeOtherWindows = nullptr;
    core_.about.showModal = nullptr;
}

void MainWindow::BuildControls() {
    std::map<std::string, QWidget*> frames;
    for (form::Control* c : core_.form.controls) {
        QWidget* parent = client_;
        if (!c->parent.empty()) {
            const auto it = frames.find(c->parent);
            if (it != frames.end()) parent = it->second;
        }
        auto view = MakeControlView(*c, parent, *this);
        if (!view) continue;
        if (c->kind == form::Kind::Frame) frames[c->name] = view->Widget();
        view->Widget()->setObjectName(Q(c->name));
        views_.push_back(std::move(view));
    }
}

void MainWindow::PlaceEdges() {
    const int w = client_->width(), h = client_->height();
    toolbar_->Widget()->setGeometry(0, 0, w, kToolbarHeight);
    status_->Widget()->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) PlaceEdges();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Start() {
    core_.Form_Load();
    SyncFromModel();
    ApplyGeometry();
    switch (core_.form.geometry.state) {
        case form::WindowState::Maximized: showMaximized(); break;
        case form::WindowState::Minimized: showMinimized(); break;
        case form::WindowState::Normal: show(); break;
    }
}

void MainWindow::SyncFromModel() {
    if (TextChanged(shownTitle_, core_.form.title)) setWindowTitle(Q(core_.form.title));
    for (auto& v : views_) v->Sync();
    menus_->Sync();
    toolbar_->Sync();
    status_->Sync();
}

// One command at a time, start to finish. A command never starts inside
// another: whatever asks for one meanwhile (a scroll arrow's auto-repeat coming
// due while a chip page is read, a click that got through) is dropped, and the
// widget it moved is put back in line with the model afterwards.
void MainWindow::RunOperatorAction(const std::function<void()>& action) {
    if (actionDepth_ > 0) return;
    ++actionDepth_;
    inputGate_.Close();
    action();
    SyncFromModel();
    // Input that came in while the command ran is thrown away here, while the
    // gate is still shut, instead of being run once the command has ended.
    QCoreApplication::processEvents();
    SyncFromModel();
    inputGate_.Open();
    --actionDepth_;
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

// ---- Geometry: the model keeps the outer rectangle in twips ----

namespace {
int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
}  // namespace

void MainWindow::ApplyGeometry() {
    const auto& g = core_.form.geometry;
    // The stored size is the outer one; the frame's share is known once the
    // window manager has framed the window (see showEvent).
    const QSize frame = frameGeometry().size() - size();
    move(ToPixels(g.left), ToPixels(g.top));
    resize(std::max(1, ToPixels(g.width) - frame.width()), std::max(1, ToPixels(g.height) - frame.height()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (geometryReapplied_) return;
    geometryReapplied_ = true;
    // Once framed, size the window again so that its outer size is the stored one.
    QTimer::singleShot(200, this, [this] {
        if (!unloaded_ && !isMaximized() && !isMinimized() && frameGeometry().size() != size()) ApplyGeometry();
    });
}

void MainWindow::StoreGeometry() {
    auto& g = core_.form.geometry;
    g.state = isMinimized()   ? form::WindowState::Minimized
              : isMaximized() ? form::WindowState::Maximized
                              : form::WindowState::Normal;
    const QRect outer = frameGeometry();
    g.left = outer.x() * kTwipsPerPixel;
    g.top = outer.y() * kTwipsPerPixel;
    g.width = outer.width() * kTwipsPerPixel;
    g.height = outer.height() * kTwipsPerPixel;
}

// ---- Closing ----

void MainWindow::closeEvent(QCloseEvent* event) {
    if (actionDepth_ > 0) {
        // An operation is still running on this thread: the window closes as
        // soon as it has ended.
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!unloaded_) {
        StoreGeometry();
        unloaded_ = true;
        core_.Form_Unload();
    }
    event->accept();
}

void MainWindow::CloseOtherWindows() {
    QWidgetList others;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->isWindow()) others.push_back(w);
    // Newest first: Qt lists top-level widgets roughly in creation order.
    for (auto it = others.rbegin(); it != others.rend(); ++it) (*it)->close();
}

// ---- For tests ----

QWidget* MainWindow::ControlWidget(const std::string& controlName) const {
    for (const auto& v : views_)
        if (v->Model().name == controlName) return v->Widget();
    return nullptr;
}

QAction* MainWindow::MenuAction(const std::string& menuName) const { return menus_->FindAction(menuName); }

QAction* MainWindow::ToolbarAction(int position) const { return toolbar_->ButtonAction(position); }

QString MainWindow::StatusText() const { return status_->StatusText(); }

}  // namespace moltrix::app
