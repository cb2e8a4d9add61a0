/*
 * gauge.cpp: drawing the water gauge.
 */
#include "ui/gauge.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

// The dark brown of the pictures' outlines.
const QColor kOutline(0x4b, 0x35, 0x2a);

// A 0x00BBGGRR colour as Qt's.
QColor fromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

Gauge::Gauge(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setBar(const ShapeState &bar)
{
    if (bar == m_bar)
        return;
    const ShapeState before = std::exchange(m_bar, bar);
    update();
    if (bar.Width != before.Width) {
        QAccessibleValueChangeEvent event(this, double(bar.Width));
        QAccessible::updateAccessibility(&event);
    }
    if (bar.BackColor != before.BackColor) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString bandMeaning(std::uint32_t colour)
{
    switch (colour) {
    case colour::kBlue:
        return QStringLiteral("少ない（青）");
    case colour::kYellow:
        return QStringLiteral("多すぎる（黄色）");
    default:
        return QStringLiteral("ふつう（赤）");
    }
}

void Gauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The bar in pixels. A level past 800 fills the gauge: the bar is cut
    // at its edges.
    const double x = width() / kScaleWidth;
    const double y = height() / kScaleHeight;
    const QRectF bar = QRectF(m_bar.Left * x, m_bar.Top * y, m_bar.Width * x, m_bar.Height * y).intersected(rect());
    if (bar.isEmpty())
        return;
    painter.fillRect(bar, fromBgr(m_bar.BackColor));
    // A thin dark outline, so that a yellow bar stands out on the white.
    const qreal line = std::max<qreal>(1, height() / 16.0);
    painter.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(line / 2, line / 2, -line / 2, -line / 2));
}
