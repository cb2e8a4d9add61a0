/*
 * creatureview.cpp: painting the creature with its wiggle.
 */
#include "ui/creatureview.h"

#include "ui/benchlog.h"

#include <QPainter>

PictureHolder::PictureHolder(QWidget *parent)
    : QWidget(parent)
{
    hide();
}

void PictureHolder::setPicture(const QImage &picture)
{
    m_picture = picture;
    resize(picture.size());
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
    dropScaledFrames();
}

void CreatureView::dropScaledFrames()
{
    m_scaled = {};
}

void CreatureView::resizeEvent(QResizeEvent *)
{
    dropScaledFrames();
}

QImage CreatureView::renderFrame(int frame)
{
    return scaledFrame(frame).toImage();
}

const QPixmap &CreatureView::scaledFrame(int frame)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_scaledRatio) {
        dropScaledFrames();
        m_scaledRatio = ratio;
    }
    QPixmap &scaled = m_scaled[frame == 1 ? 0 : 1];
    if (!scaled.isNull())
        return scaled;

    // The display in device pixels, so it stays crisp at any scale factor.
    const QSize target = (QSizeF(size()) * ratio).toSize();
    QImage canvas(target.isEmpty() ? QSize(1, 1) : target, QImage::Format_RGB32);
    canvas.fill(Qt::white);

    const QImage &picture = m_holder->picture();
    const int w = m_holder->width();
    const int h = m_holder->height();
    if (!picture.isNull() && w > 0 && h > 0 && !target.isEmpty()) {
        // E's area with the white strip beyond its right edge.
        QImage padded(w + kStrip, h, QImage::Format_ARGB32_Premultiplied);
        padded.fill(Qt::white);
        QPainter(&padded).drawImage(0, 0, picture);
        const QRect source = frame == 1 ? QRect(0, 0, w + kStrip, h) : QRect(kStrip, 0, w, h);
        QPainter painter(&canvas);
        painter.drawImage(0, 0, padded.copy(source).scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    scaled = QPixmap::fromImage(canvas);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

void CreatureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaledFrame(m_frame));
    // The benchmark times start-up up to the first frame with the creature in it.
    if (benchlog::enabled() && !m_creatureShown && !m_holder->picture().isNull()) {
        m_creatureShown = true;
        benchlog::frame(benchlog::now());
    }
}
