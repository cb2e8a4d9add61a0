/*
 * clickablelabel.cpp: clicks on the message area, and its bold text.
 */
#include "ui/clickablelabel.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

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
    if (!font().bold()) {
        QLabel::paintEvent(event);
        return;
    }
    // Bold by hand, as Windows makes up the bold of a face that has none:
    // the regular glyphs drawn again and again, a device pixel further
    // right each time, a twelfth of the size in all. The font engine's
    // own bold grows every stroke on every side: it closes the counters
    // of dense kanji such as 育 and 着 on a screen that scales its pixels,
    // and is lost where glyphs are drawn as outlines (64 device pixels
    // and up). Widening only sideways leaves the stacked horizontal
    // strokes apart, with as much ink.
    QFont regular = font();
    regular.setBold(false);
    const qreal widening = QFontInfo(font()).pixelSize() / 12.0;
    const int steps = std::max(1, int(std::ceil(widening * devicePixelRatioF())));
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    QPainter painter(this);
    painter.setFont(regular);
    painter.setPen(palette().color(foregroundRole()));
    const QRectF area(contentsRect());
    for (int step = 0; step <= steps; ++step)
        painter.drawText(area.translated(widening * step / steps, 0), flags, text());
}
