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
    // The gauge's own scale: 800 units across, 1 down.
    static constexpr double kScaleWidth = 800;
    static constexpr double kScaleHeight = 1;

    explicit Gauge(QWidget *parent = nullptr);

    // Shows the bar as the game state has it; repaints, and tells the
    // accessibility layer of the new level or colour, only on a change.
    void setBar(const ShapeState &bar);
    const ShapeState &bar() const { return m_bar; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ShapeState m_bar;
};

// What a bar of this colour says of the level, for a player who cannot
// see it: low, too much or fine.
QString bandMeaning(std::uint32_t colour);
