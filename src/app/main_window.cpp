#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <map>

#include "about_dialog.h"
#include "icons.h"
#include "layout.h"
#include "page_view.h"
#include "qt_text.h"

namespace moltrix::app {

MainWindow::MainWindow(Programmer& core) : core_(core), client_(new QWidget(this)) {
    setCentralWidget(client_);
    menus_ = std::make_unique<MenuBarView>(core_.form, menuBar(), *this);
    toolbar_ = std::make_unique<ToolbarView>(core_.form.tbToolBar, client_, *this);
    status_ = std::make_unique<StatusBarView>(core_.form.sbStatusBar, core_.svc.clock, client_);
    toolbar_->Widget()->setToolTip(Q(core_.form.tbToolBar.toolTip));
    BuildControls();

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
    std::map<std::string, QWidget*> widgets;
    for (const auto& v : views_) widgets[v->Model().name] = v->Widget();
    // Companions a view made beside its control (the slider's position).
    for (QWidget* w : client_->findChildren<QWidget*>(QStringLiteral("Slider1Value"))) widgets["Slider1Value"] = w;
    ArrangeMainWindow(client_, toolbar_->Widget(), status_->Widget(), widgets);

    // Page keys and the wheel over the hex display move its scroll bar by a
    // page, through the scroll bar's own handler.
    if (auto* page = qobject_cast<PageView*>(ControlWidget("BufferDisplay")))
        connect(page, &PageView::pageRequested, this, [this](int step) {
            RunOperatorAction([this, step] {
                form::ScrollBar& bar = core_.form.VScroll1;
                if (bar.enabled && bar.visible) bar.SetValue(bar.value + step);
            });
        });
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

constexpr int kTwipsPerPixel = 15;  // at 96 dots an inch, in the desktop's own pixels

int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

// `outer` moved and, if need be, shrunk to lie wholly on `screen`.
QRect FitToScreen(QRect outer, const QRect& screen) {
    // Too large: as large as the screen. Partly off it: moved back on, by as
    // little as will do.
    outer.setWidth(std::min(outer.width(), screen.width()));
    outer.setHeight(std::min(outer.height(), screen.height()));
    outer.moveLeft(std::clamp(outer.left(), screen.left(), screen.right() + 1 - outer.width()));
    outer.moveTop(std::clamp(outer.top(), screen.top(), screen.bottom() + 1 - outer.height()));
    return outer;
}

}  // namespace

void MainWindow::ApplyGeometry() {
    const auto& g = core_.form.geometry;
    // The stored size is the outer one; the frame's share is known once the
    // window manager has framed the window (see showEvent). A stored place
    // that does not fit the screen the window opens on (stored on a larger
    // one, say) is brought inside it; the stored values are left as they are
    // until the window closes.
    const QSize frame = frameGeometry().size() - size();
    QRect outer(ToPixels(g.left), ToPixels(g.top), std::max(1, ToPixels(g.width)), std::max(1, ToPixels(g.height)));
    const QSize least = minimumSizeHint() + frame;
    outer.setWidth(std::max(outer.width(), least.width()));
    outer.setHeight(std::max(outer.height(), least.height()));
    const QPoint middle = outer.center();
    QScreen* screen = QGuiApplication::screenAt(middle);
    if (!screen) screen = QGuiApplication::screenAt(outer.topLeft());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) outer = FitToScreen(outer, screen->availableGeometry());
    move(outer.topLeft());
    resize(std::max(1, outer.width() - frame.width()), std::max(1, outer.height() - frame.height()));
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

QLabel* MainWindow::BenchArea() const { return status_->BenchArea(); }

}  // namespace moltrix::app
