/*
 * gamebutton.cpp: painting the button.
 */
#include "ui/gamebutton.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor kOutline(0x8a, 0x8a, 0x8a);
const QColor kGreen(0x5a, 0x8f, 0x3c);
const QColor kPressed(0xee, 0xf6, 0xe8);
const QColor kDisabled(0xa0, 0xa0, 0xa0);

} // namespace

GameButton::GameButton(QWidget *parent)
    : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setAutoDefault(false);
}

void GameButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ring: a twentieth of the button's height, at least 2 px.
    const qreal ring = std::max<qreal>(2, height() / 20.0);
    const QRectF box = QRectF(rect()).adjusted(ring, ring, -ring, -ring);
    const qreal radius = height() / 8.0;

    painter.setPen(QPen(isEnabled() && underMouse() ? kGreen : kOutline, 1));
    painter.setBrush(isDown() ? kPressed : QColor(Qt::white));
    painter.drawRoundedRect(box, radius, radius);
    if (hasFocus()) {
        painter.setPen(QPen(kGreen, ring));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(-ring / 2, -ring / 2, ring / 2, ring / 2), radius + ring / 2,
                                radius + ring / 2);
    }
    painter.setPen(isEnabled() ? QColor(Qt::black) : kDisabled);
    painter.setFont(font());
    painter.drawText(box, Qt::AlignCenter, text());
}
