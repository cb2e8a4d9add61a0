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

} // namespace

QImage loadPicture(const QString &path)
{
    return decodePicture(readDataFile(path), path);
}

QImage decodePicture(QByteArray bytes, const QString &path)
{
    if (bytes.isEmpty())
        throwBadPicture(path, QStringLiteral("空のファイルです。"), QStringLiteral("the file is empty."));

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // 4096 × 4096 at 4 bytes a pixel; Qt refuses to allocate more for us.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));

    // Most formats tell their size from the header, before any pixel is
    // decoded: refuse a picture that claims to be enormous up front.
    const QSize claimed = reader.size();
    const auto tooBig = [](QSize size) {
        return size.width() > kMaxPictureSide || size.height() > kMaxPictureSide
               || qint64(size.width()) * size.height() > kMaxPicturePixels;
    };
    if (claimed.isValid() && tooBig(claimed))
        throwBadPicture(path,
                        QStringLiteral("%1 × %2 ピクセルは大きすぎます（1 辺 %3 まで、%4 ピクセルまで）。")
                                .arg(claimed.width()).arg(claimed.height()).arg(kMaxPictureSide).arg(kMaxPicturePixels),
                        QStringLiteral("%1 × %2 pixels is too large (at most %3 a side, %4 pixels in all).")
                                .arg(claimed.width()).arg(claimed.height()).arg(kMaxPictureSide).arg(kMaxPicturePixels));

    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        const QString why = reader.errorString();
        throwBadPicture(path, QStringLiteral("絵として読めません（%1）。").arg(why),
                        QStringLiteral("not a picture Qt can read (%1).").arg(why));
    }
    if (tooBig(image.size()))
        throwBadPicture(path,
                        QStringLiteral("%1 × %2 ピクセルは大きすぎます。").arg(image.width()).arg(image.height()),
                        QStringLiteral("%1 × %2 pixels is too large.").arg(image.width()).arg(image.height()));
    return image;
}

} // namespace data
