/*
 * picture.cpp: pictures through QImageReader, with bounds on their size.
 */
#include "data/picture.h"

#include "data/fatalerror.h"
#include "data/textfile.h"

#include <QBuffer>
#include <QImageReader>

namespace data {

namespace {

[[noreturn]] void throwBadPicture(const QString &path, const QString &japanese, const QString &english)
{
    throw FatalError(QStringLiteral("絵のファイル %1 を読めません: %2").arg(path, japanese),
                     QStringLiteral("Cannot read the picture %1: %2").arg(path, english));
}

// Sides as the header gives them; a BMP stored top to bottom gives a
// negative height.
bool tooBig(QSize size)
{
    const qint64 width = qAbs(qint64(size.width()));
    const qint64 height = qAbs(qint64(size.height()));
    return width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels;
}

[[noreturn]] void throwTooBig(const QString &path, QSize size)
{
    const qint64 width = qAbs(qint64(size.width()));
    const qint64 height = qAbs(qint64(size.height()));
    throwBadPicture(path,
                    QStringLiteral("%1 × %2 ピクセルは大きすぎます（1 辺 %3 まで、%4 ピクセルまで）。")
                            .arg(width).arg(height).arg(kMaxPictureSide).arg(kMaxPicturePixels),
                    QStringLiteral("%1 × %2 pixels is too large (at most %3 a side, %4 pixels in all).")
                            .arg(width).arg(height).arg(kMaxPictureSide).arg(kMaxPicturePixels));
}

} // namespace

QImage decodePicture(QByteArray bytes, const QString &path)
{
    if (bytes.isEmpty())
        throwBadPicture(path, QStringLiteral("空のファイルです。"), QStringLiteral("the file is empty."));

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // The limit holds for every reader in the program, also those that Qt
    // starts inside one picture (an icon holding a PNG): no picture within
    // our bounds needs more, in the widest format Qt's readers make.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * kMaxBytesPerPixel / (1024 * 1024)));

    // Most formats tell their size from the header, before any pixel is
    // decoded: refuse a picture that claims to be enormous up front.
    const QSize claimed = reader.size();
    if (tooBig(claimed))
        throwTooBig(path, claimed);

    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        const QString why = reader.errorString();
        throwBadPicture(path, QStringLiteral("絵として読めません（%1）。").arg(why),
                        QStringLiteral("not a picture Qt can read (%1).").arg(why));
    }
    if (tooBig(image.size()))
        throwTooBig(path, image.size());
    return image;
}

QImage loadPicture(const QString &path)
{
    return decodePicture(readDataFile(path), path);
}

} // namespace data
