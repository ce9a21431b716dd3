#pragma once
// Small widgets that report the mouse actions the program answers: a label
// that can be clicked and a read-only text view that can be double-clicked.
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

class TextView : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace moltrix::app
