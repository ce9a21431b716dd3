#include "widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace moltrix::app {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) emit clicked();
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

int WheelNotches::Turn(int eighths) {
    constexpr int kNotch = QWheelEvent::DefaultDeltasPerStep;
    if (eighths == 0) return 0;
    if ((eighths > 0) != (pending_ > 0)) pending_ = 0;
    pending_ += eighths;
    const int notches = pending_ / kNotch;
    pending_ -= notches * kNotch;
    return notches;
}

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    // Tab and click focus it; the wheel does not.
    setFocusPolicy(Qt::StrongFocus);
}

void DropDownList::keyPressEvent(QKeyEvent* event) {
    // With Alt or Ctrl the keys keep QComboBox's meaning (Alt+Down opens the list).
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Up:
            case Qt::Key_PageUp: emit stepRequested(Step::Previous); return;
            case Qt::Key_Down:
            case Qt::Key_PageDown: emit stepRequested(Step::Next); return;
            case Qt::Key_Home: emit stepRequested(Step::First); return;
            case Qt::Key_End: emit stepRequested(Step::Last); return;
            default: break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void DropDownList::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        wheel_.Reset();
        event->ignore();
        return;
    }
    event->accept();
    // One row per notch.
    for (int n = wheel_.Turn(event->angleDelta().y()); n != 0; n += n > 0 ? -1 : 1)
        emit stepRequested(n > 0 ? Step::Previous : Step::Next);
}

}  // namespace moltrix::app
