#pragma once
// The hex display: a read-only text view that always shows one whole page,
// `columns` characters by `lines` lines of a fixed-pitch font, without scroll
// bars of its own. The font is the desktop's fixed-pitch one, measured, and as
// large as the view's room allows; the page never needs less room than it has
// in the desktop's own size. Page keys and the mouse wheel ask for the next or
// the previous page instead of scrolling the text.
#include "widgets.h"

namespace moltrix::app {

class PageView : public TextView {
    Q_OBJECT
public:
    PageView(int columns, int lines, QWidget* parent);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

signals:
    // +1 for the next page, -1 for the previous one.
    void pageRequested(int step);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The outer size a whole page takes in `font`.
    QSize PageSize(const QFont& font) const;
    void FitFont();

    int columns_, lines_;
    QFont desktopFont_;  // the system's fixed-pitch font at its own size
    WheelNotches wheel_;
};

}  // namespace moltrix::app
