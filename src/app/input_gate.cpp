#include "input_gate.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace moltrix::app {
namespace {

// Input that could start something. Releases are let through: a button or a
// scroll arrow pressed before the command began must not stay down (the
// arrow would go on repeating), and a release alone starts nothing.
bool StartsSomething(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TabletPress:
        case QEvent::NativeGesture:
            return true;
        default:
            return false;
    }
}

// The widget a top-level window of the application belongs to.
QObject* WidgetOf(QWindow* window) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window) return w;
    return nullptr;
}

// True for the dialog the running command has open, and for everything in
// it (its buttons, fields, menus and drop-down lists).
bool InsideOpenDialog(QObject* receiver) {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return false;
    if (auto* window = qobject_cast<QWindow*>(receiver)) receiver = WidgetOf(window);
    for (QObject* o = receiver; o; o = o->parent())
        if (o == dialog) return true;
    return false;
}

}  // namespace

InputGate::InputGate() { QCoreApplication::instance()->installEventFilter(this); }

InputGate::~InputGate() {
    if (auto* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    if (closedDepth_ == 0 || !StartsSomething(event->type())) return false;
    return !InsideOpenDialog(watched);
}

}  // namespace moltrix::app
