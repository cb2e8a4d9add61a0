/*
 * picture.h: loading a creature or ending picture from the data folder.
 *
 * Pictures are any image format Qt reads; the ".dat" extension says
 * nothing about the format, which is told from the content. A picture that
 * is empty, broken, of a format Qt does not know, or larger than any
 * picture of this game needs to be is refused with a clear error.
 */
#pragma once

#include <QImage>
#include <QString>

namespace data {

// Our pictures are about 512 × 512; these bounds leave plenty of room and
// keep a hostile header from asking for gigabytes.
inline constexpr int kMaxPictureSide = 8192;
inline constexpr qint64 kMaxPicturePixels = qint64(4096) * 4096;

// The picture at path. Throws FatalError naming the file.
QImage loadPicture(const QString &path);

// The picture in bytes read from the file at path (named in errors).
// Throws FatalError.
QImage decodePicture(QByteArray bytes, const QString &path);

} // namespace data
