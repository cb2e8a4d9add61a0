/*
 * services.h: what the window needs from the world around it.
 *
 * The window paints the picture the game last loaded and shows the about
 * box when the game asks for it; it knows these two services only by the
 * interfaces here. The program's main() wires in the real ones (the data
 * folder's pictures, a dialog), the window's tests may use doubles.
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

// The about box: shown when the game asks, returning once it is closed.
class AboutBox
{
public:
    virtual ~AboutBox() = default;
    virtual void show() = 0;
};
