#include "page_view.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace moltrix::app {

PageView::PageView(int columns, int lines, QWidget* parent)
    : TextView(parent), columns_(columns), lines_(lines),
      desktopFont_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setFont(desktopFont_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PageView::PageSize(const QFont& font) const {
    const QFontMetricsF m(font);
    // Measured on the characters a page is made of, not assumed from the
    // font's nominal size: fixed-pitch faces differ in line height a lot.
    const qreal width = m.horizontalAdvance(QString(columns_, QLatin1Char('0')));
    // A line takes the font's height or its line spacing, whichever is more
    // (a face with a negative leading has less spacing than height).
    const qreal height = lines_ * std::ceil(std::max(m.height(), m.lineSpacing()));
    const qreal margin = 2 * document()->documentMargin();
    const int frame = 2 * frameWidth();
    // One pixel more each way for the cursor and the rounding of line positions.
    return QSize(static_cast<int>(std::ceil(width + margin)) + cursorWidth() + 1 + frame,
                 static_cast<int>(std::ceil(height + margin)) + 1 + frame);
}

QSize PageView::minimumSizeHint() const { return PageSize(desktopFont_); }

QSize PageView::sizeHint() const { return PageSize(desktopFont_); }

void PageView::FitFont() {
    // The largest pixel size whose page fits, never below the desktop's size
    // (the layout gives the view at least that much room).
    const int desktopPixels = QFontInfo(desktopFont_).pixelSize();
    int fits = desktopPixels, tooLarge = 4 * desktopPixels + 1;
    auto fitsIn = [this](int pixels) {
        QFont f = desktopFont_;
        f.setPixelSize(pixels);
        const QSize need = PageSize(f);
        return need.width() <= width() && need.height() <= height();
    };
    while (tooLarge - fits > 1) {
        const int middle = (fits + tooLarge) / 2;
        (fitsIn(middle) ? fits : tooLarge) = middle;
    }
    if (QFontInfo(font()).pixelSize() == fits) return;
    QFont f = desktopFont_;
    f.setPixelSize(fits);
    setFont(f);
}

void PageView::resizeEvent(QResizeEvent* event) {
    TextView::resizeEvent(event);
    FitFont();
}

void PageView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp) {
        emit pageRequested(event->key() == Qt::Key_PageDown ? 1 : -1);
        event->accept();
        return;
    }
    TextView::keyPressEvent(event);
}

void PageView::wheelEvent(QWheelEvent* event) {
    // One notch is one page; turning the wheel towards the operator shows
    // the pages that follow.
    for (int n = wheel_.Turn(event->angleDelta().y()); n != 0; n += n > 0 ? -1 : 1) emit pageRequested(n > 0 ? -1 : 1);
    event->accept();
}

}  // namespace moltrix::app
