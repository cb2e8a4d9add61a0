/*
 * creatureview.cpp: painting the creature with its wiggle.
 */
#include "ui/creatureview.h"

#include <QPainter>

#include <utility>

PictureHolder::PictureHolder(const PictureSource &source, QWidget *parent)
    : QWidget(parent)
    , m_source(source)
{
    hide();
}

CreatureView::CreatureView(const PictureHolder *holder, QWidget *parent)
    : QWidget(parent)
    , m_holder(holder)
{
    // Every pixel is painted each frame: Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CreatureView::showFrame(int frame)
{
    m_frame = frame;
    update();
}

void CreatureView::pictureChanged()
{
    m_scaled = {};
}

void CreatureView::resizeEvent(QResizeEvent *)
{
    pictureChanged();
}

QImage CreatureView::renderFrame(int frame)
{
    return scaledFrame(frame).toImage();
}

const QPixmap &CreatureView::scaledFrame(int frame)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio != std::exchange(m_scaledRatio, ratio))
        m_scaled = {};
    QPixmap &scaled = m_scaled[frame == 1 ? 0 : 1];
    if (!scaled.isNull())
        return scaled;

    // The display in device pixels, so it stays crisp at any scale factor.
    const QSize target = (QSizeF(size()) * ratio).toSize();
    const QImage &picture = m_holder->picture();
    const int w = m_holder->width();
    const int h = m_holder->height();
    QImage canvas;
    if (!picture.isNull() && w > 0 && h > 0 && !target.isEmpty()) {
        // The frame's source rectangle of E's area with the white strip
        // beyond its right edge: frame 1 from column 0, w + 20 wide;
        // frame 2 from column 20, w wide. Drawn smoothly (bilinear) onto
        // the white at the display's size in one pass: Qt's smooth scaling
        // of a copy took 2 ms more of the first frame, in threads of its
        // own, for no difference a player sees.
        canvas = QImage(target, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(target)), picture,
                          QRectF(frame == 1 ? 0 : kStrip, 0, frame == 1 ? w + kStrip : w, h));
    } else {
        canvas = QImage(target.isEmpty() ? QSize(1, 1) : target, QImage::Format_RGB32);
        canvas.fill(Qt::white);
    }
    // Each frame is held once, as the pixmap a tick blits.
    scaled = QPixmap::fromImage(std::move(canvas));
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

void CreatureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaledFrame(m_frame));
}
