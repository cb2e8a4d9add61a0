/*
 * creatureview.h: the creature display Img and the picture holder E.
 *
 * E shows the picture the game loaded last, hidden, sized to the picture:
 * the platform's own, not a copy, so that the platform can let the last
 * picture go before it decodes the next and no moment holds both. Img shows
 * it stretched over the whole display, ten times a second, alternating two
 * frames that wobble it sideways: frame 1 shows the picture with a 20-pixel
 * white strip beyond its right edge, squeezing it to the left; frame 2
 * shows it from its 20th column on, up to that strip, shifting it left.
 *
 * Both frames are scaled once, at the display's size in device pixels,
 * when the picture or the display changes; a tick only blits one of them.
 */
#pragma once

#include "services/services.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <array>

// E: the hidden holder of the loaded picture.
class PictureHolder : public QWidget
{
    Q_OBJECT

public:
    explicit PictureHolder(const PictureSource &source, QWidget *parent = nullptr);

    // The source has loaded another picture: E takes its size.
    void pictureChanged() { resize(picture().size()); }
    const QImage &picture() const { return m_source.picture(); }

private:
    const PictureSource &m_source;
};

// Img: the creature display.
class CreatureView : public QWidget
{
    Q_OBJECT

public:
    // The width of the blank strip beyond the picture's right edge, in the
    // picture's pixels.
    static constexpr int kStrip = 20;

    CreatureView(const PictureHolder *holder, QWidget *parent = nullptr);

    // Shows frame 1 or 2 of E's picture: repaints this display only.
    void showFrame(int frame);
    int frame() const { return m_frame; }

    // E's picture has changed; the next frame shows the new one.
    void pictureChanged();

    // One frame as painted, at device pixels, for tests and tools.
    QImage renderFrame(int frame);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QPixmap &scaledFrame(int frame);

    const PictureHolder *m_holder;
    int m_frame = 1;
    std::array<QPixmap, 2> m_scaled;
    qreal m_scaledRatio = 0;
};
