/*
 * services.h: what the window needs from the world around it.
 *
 * The window paints the picture the game last loaded; it knows where the
 * picture comes from only by the interface here. The program's main()
 * wires in the real one (the data folder's pictures).
 */
#pragma once

#include <QImage>

// The picture the creature display shows: the one the game loaded last.
class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // A null image before any picture is loaded.
    virtual const QImage &picture() const = 0;
};
