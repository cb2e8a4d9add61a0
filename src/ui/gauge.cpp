/*
 * gauge.cpp: drawing the water gauge.
 */
#include "ui/gauge.h"

#include <QPainter>

namespace {

// The gauge's own scale.
constexpr double kScaleWidth = 800;
constexpr double kScaleHeight = 1;

} // namespace

QColor fromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Gauge::Gauge(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setBar(const ShapeState &bar)
{
    if (bar.Left == m_bar.Left && bar.Top == m_bar.Top && bar.Width == m_bar.Width && bar.Height == m_bar.Height
        && bar.BackColor == m_bar.BackColor)
        return;
    m_bar = bar;
    update();
}

QRectF Gauge::barRect() const
{
    const double x = width() / kScaleWidth;
    const double y = height() / kScaleHeight;
    return QRectF(m_bar.Left * x, m_bar.Top * y, m_bar.Width * x, m_bar.Height * y);
}

void Gauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The painter clips to the widget, so a level past 800 fills the gauge.
    painter.fillRect(barRect(), fromBgr(m_bar.BackColor));
}
