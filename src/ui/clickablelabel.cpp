/*
 * clickablelabel.cpp: clicks on the message area, and its bold text.
 */
#include "ui/clickablelabel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// From this many device pixels on, Qt draws glyphs as outlines rather than
// from its glyph cache.
constexpr int kOutlinePixels = 64;

} // namespace

// A click is a press and a release of the left button on the label.
void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void ClickableLabel::paintEvent(QPaintEvent *event)
{
    // The font engine makes up the bold of a face that has none of its own
    // (IPA's Gothic has none) by growing every stroke on every side. On a
    // screen of whole pixels below 64 device pixels that reads well, and
    // Qt draws it from its glyph cache, quicker than anything here.
    const int pixels = QFontInfo(font()).pixelSize();
    if (!font().bold() || (devicePixelRatioF() == 1 && pixels < kOutlinePixels)) {
        QLabel::paintEvent(event);
        return;
    }
    // Elsewhere Qt loses that bold (from 64 device pixels on it draws
    // glyphs as outlines) or closes the counters of dense kanji such as 育
    // and 着 (on a screen that scales its pixels). Bold by hand instead, as
    // Windows makes up a missing bold: the regular glyphs drawn again and
    // again, a device pixel further right each time, a twelfth of the size
    // in all. Widening only sideways keeps the stacked horizontal strokes
    // apart, with as much ink as the engine's bold.
    QFont regular = font();
    regular.setBold(false);
    const qreal widening = pixels / 12.0;
    const int steps = std::max(1, int(std::ceil(widening * devicePixelRatioF())));
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    QPainter painter(this);
    painter.setFont(regular);
    painter.setPen(palette().color(foregroundRole()));
    const QRectF area(contentsRect());
    for (int step = 0; step <= steps; ++step)
        painter.drawText(area.translated(widening * step / steps, 0), flags, text());
}
