/*
 * gauge.h: the water gauge PicStr and its bar ShpStr.
 *
 * The gauge measures 800 units across and 1 down, whatever its size in
 * pixels; the bar is placed in those units and cut off at the gauge's
 * edges, so an overfull level shows as a full gauge.
 */
#pragma once

#include "game/fom.h"

#include <QWidget>

class Gauge : public QWidget
{
    Q_OBJECT

public:
    explicit Gauge(QWidget *parent = nullptr);

    // Shows the bar as the game state has it; repaints only on a change.
    void setBar(const ShapeState &bar);
    const ShapeState &bar() const { return m_bar; }

    // The bar's rectangle in this widget's pixels, before clipping.
    QRectF barRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ShapeState m_bar;
};

// A 0x00BBGGRR colour as Qt's.
QColor fromBgr(std::uint32_t bgr);
