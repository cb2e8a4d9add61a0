/*
 * clickablelabel.cpp: clicks on the message area, and its bold text.
 */
#include "ui/clickablelabel.h"

#include <QMouseEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

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
    // (IPA's Gothic has none), but Qt loses it where it draws glyphs as
    // outlines, from 64 device pixels on (a 2160-line screen), and makes
    // it half as strong on a screen that scales its pixels. Elsewhere its
    // own is right, and much quicker to draw than ours.
    const int pixels = QFontInfo(font()).pixelSize();
    if (!font().bold() || (devicePixelRatioF() == 1 && pixels < kOutlinePixels)) {
        QLabel::paintEvent(event);
        return;
    }
    // Bold by hand, as the font engine makes it: the glyphs' outlines,
    // laid out as QLabel lays out plain text, filled and stroked a
    // forty-eighth of the size wider on each side.
    QString lines = text();
    lines.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(lines, font(), this);
    QTextOption option(alignment());
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    const QRectF area(contentsRect());
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    QPainterPath outline;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            outline.addPath(raw.pathForGlyph(glyphs[i]).translated(area.topLeft() + positions[i]));
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(foregroundRole());
    painter.fillPath(outline, ink);
    painter.strokePath(outline, QPen(ink, pixels / 24.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}
