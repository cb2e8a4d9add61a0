/*
 * picture.h: loading a creature or ending picture from the data folder.
 *
 * Pictures are any image format Qt reads; the ".dat" extension says
 * nothing about the format, which is told from the content. A picture that
 * is empty, broken, cut short, of a format Qt does not know, or larger
 * than any picture of this game needs to be is refused with a clear error.
 */
#pragma once

#include <QImage>
#include <QString>

namespace data {

// Our pictures are about 512 × 512; these bounds leave plenty of room and
// keep a hostile header from asking for gigabytes.
inline constexpr int kMaxPictureSide = 8192;
inline constexpr qint64 kMaxPicturePixels = qint64(4096) * 4096;
// Bytes a pixel takes in the widest image Qt's readers make (16 bits a
// channel, as in our own PNGs): how much memory the largest picture needs.
inline constexpr qint64 kMaxBytesPerPixel = 8;

// The picture at path. Throws FatalError naming the file.
QImage loadPicture(const QString &path);

// What can be told of the picture in bytes (the content of the file at
// path) without decoding its pixels: that it is not empty, is of a format
// the game reads, claims a size within the bounds and, where the format
// tells, is not cut short. A picture whose header tells no size is decoded.
// Throws FatalError as decodePicture does. A picture that passes may still
// fail to decode (its pixel data broken), which decodePicture then says.
void checkPicture(QByteArray bytes, const QString &path);

// The picture held in bytes, the content of the file at path (which only
// names it in errors). Throws FatalError: empty, not a picture, cut short,
// or too large.
QImage decodePicture(QByteArray bytes, const QString &path);

} // namespace data
