#pragma once
// Small widgets that report the mouse actions the program answers: a label
// that can be clicked, a read-only text view that can be double-clicked, and a
// drop-down list whose keys and wheel ask for a step instead of moving.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace moltrix::app {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // A click is a press and a release on the label; a release alone (its
    // press went elsewhere, or was dropped while a command ran) is none.
    bool pressed_ = false;
};

// Whole notches of a mouse wheel (120 eighths of a degree each): a
// touchpad's small turns add up, and a turn the other way starts afresh.
class WheelNotches {
public:
    // The notches this turn completes; positive away from the operator.
    int Turn(int eighths);
    void Reset() { pending_ = 0; }

private:
    int pending_ = 0;
};

class TextView : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A closed drop-down list whose Up/Down, PageUp/PageDown, Home/End keys and
// wheel turns do not move the selection themselves: they report the step and
// the list's owner picks the row (skipping the rows it would refuse). The
// wheel acts only while the list has the keyboard focus; over an unfocused
// list it goes on to whatever lies below (a scrolling parent), and it never
// gives the list the focus. Everything else is QComboBox's own.
class DropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownList(QWidget* parent = nullptr);

    enum class Step { Previous, Next, First, Last };
signals:
    void stepRequested(DropDownList::Step step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    WheelNotches wheel_;
};

}  // namespace moltrix::app
