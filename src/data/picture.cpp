/*
 * picture.cpp: pictures through QImageReader, with bounds on their size.
 */
#include "data/picture.h"

#include "common/fatalerror.h"
#include "data/textfile.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace data {

namespace {

// What is wrong, as "絵のファイル <path> <japanese>" and "The picture <path> <english>".
[[noreturn]] void throwBadPicture(const QString &path, const QString &japanese, const QString &english)
{
    throw FatalError(QStringLiteral("絵のファイル %1 %2").arg(path, japanese),
                     QStringLiteral("The picture %1 %2").arg(path, english))
            .at(path, 0, QStringLiteral("the picture ") + english);
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
                    QStringLiteral("は %1 × %2 ピクセルで、大きすぎます（1 辺 %3、全部で %4 ピクセルまで）。")
                            .arg(width).arg(height).arg(kMaxPictureSide).arg(kMaxPicturePixels),
                    QStringLiteral("is %1 × %2 pixels: too large (at most %3 a side, %4 in all).")
                            .arg(width).arg(height).arg(kMaxPictureSide).arg(kMaxPicturePixels));
}

[[noreturn]] void throwNotAPicture(const QString &path)
{
    throwBadPicture(path, QStringLiteral("は、このゲームが読める絵ではありません（壊れているか、知らない形式です）。"),
                    QStringLiteral("is not a picture this game can read: it is broken or of an unknown format."));
}

[[noreturn]] void throwCutShort(const QString &path, const QByteArray &format)
{
    const QString name = QString::fromLatin1(format.toUpper());
    throwBadPicture(path, QStringLiteral("は途中で切れています（%1 の絵のデータが足りません）。").arg(name),
                    QStringLiteral("is cut short: its %1 picture data ends early.").arg(name));
}

quint8 byteAt(QByteArrayView bytes, qsizetype at)
{
    return static_cast<quint8>(bytes[at]);
}

// BMP: rows stored uncompressed must all be in the file. (Qt draws
// run-length-coded pictures onto a cleared image, so those need no check.)
bool bmpCutShort(QByteArrayView bytes, QSize size)
{
    if (bytes.size() < 30)
        return true;
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes.data() + 14);
    const bool oldHeader = headerSize == 12; // OS/2 1.x: 16-bit fields
    const quint16 bits = qFromLittleEndian<quint16>(bytes.data() + (oldHeader ? 24 : 28));
    quint32 compression = 0;
    if (!oldHeader) {
        if (bytes.size() < 34)
            return true;
        compression = qFromLittleEndian<quint32>(bytes.data() + 30);
    }
    constexpr quint32 kRgb = 0, kBitFields = 3;
    if (compression != kRgb && compression != kBitFields)
        return false;
    // The rows start at the offset in the file header, or later if that
    // offset points into the headers.
    const qint64 offset = qFromLittleEndian<quint32>(bytes.data() + 10);
    const qint64 rowBytes = (qint64(size.width()) * bits + 31) / 32 * 4;
    return offset + rowBytes * size.height() > bytes.size();
}

// The index just past a chain of GIF sub-blocks that starts at at, or -1
// if the file ends inside it.
qsizetype skipGifSubBlocks(QByteArrayView bytes, qsizetype at)
{
    while (at < bytes.size()) {
        const quint8 length = byteAt(bytes, at++);
        if (length == 0)
            return at;
        at += length;
    }
    return -1;
}

// GIF: the first image's data must end inside the file; extensions before
// it are walked over.
bool gifCutShort(QByteArrayView bytes)
{
    if (bytes.size() < 13)
        return true;
    qsizetype at = 13;
    const quint8 screenFlags = byteAt(bytes, 10);
    if (screenFlags & 0x80)
        at += qsizetype(3) << ((screenFlags & 7) + 1);
    while (at < bytes.size()) {
        switch (byteAt(bytes, at)) {
        case 0x21: // extension: label, then sub-blocks
            at = skipGifSubBlocks(bytes, at + 2);
            if (at < 0)
                return true;
            break;
        case 0x2C: { // image: descriptor, local colours, code size, data
            if (at + 10 > bytes.size())
                return true;
            const quint8 imageFlags = byteAt(bytes, at + 9);
            at += 10;
            if (imageFlags & 0x80)
                at += qsizetype(3) << ((imageFlags & 7) + 1);
            return skipGifSubBlocks(bytes, at + 1) < 0;
        }
        default: // the trailer, or something Qt made sense of
            return false;
        }
    }
    return true;
}

// JPEG: the segments and the coded data after each start of scan must
// lead to the end-of-image marker. (Qt's decoder pads a file that stops
// early with grey and reports success.)
bool jpegCutShort(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    qsizetype at = 2; // after the start-of-image marker
    while (at + 1 < size) {
        if (byteAt(bytes, at) != 0xFF || byteAt(bytes, at + 1) == 0xFF) {
            ++at; // stray bytes or fill before a marker
            continue;
        }
        const quint8 marker = byteAt(bytes, at + 1);
        if (marker == 0xD9)
            return false; // end of image
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2; // markers without a length
            continue;
        }
        if (at + 3 >= size)
            return true;
        at += 2 + qFromBigEndian<quint16>(bytes.data() + at + 2);
        if (marker != 0xDA)
            continue;
        // Coded data runs to the next marker: FF followed by anything but
        // a stuffed 00, a restart marker or more fill.
        while (at + 1 < size) {
            const quint8 next = byteAt(bytes, at + 1);
            if (byteAt(bytes, at) == 0xFF && next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                break;
            ++at;
        }
    }
    return true;
}

// XBM: one "0x.." value for each byte of the picture, as Qt reads them.
bool xbmCutShort(QByteArrayView bytes, QSize size)
{
    const qint64 needed = qint64((size.width() + 7) / 8) * size.height();
    qint64 found = 0;
    for (qsizetype at = bytes.indexOf('{'); at >= 0 && at + 1 < bytes.size() && found < needed; ++at)
        if (bytes[at] == '0' && bytes[at + 1] == 'x')
            ++found;
    return found < needed;
}

// PNG: the chunks after the signature must lead to the end chunk IEND
// inside the file.
bool pngCutShort(QByteArrayView bytes)
{
    qsizetype at = 8; // after the signature
    while (at + 8 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.data() + at);
        if (QByteArrayView(bytes.data() + at + 4, 4) == "IEND")
            return false;
        // length, type, data, CRC
        at += 12 + qsizetype(length);
    }
    return true;
}

// Whether a picture Qt read without complaint lacks part of its data.
// Qt's readers for these formats stop quietly at the end of the file and
// leave the rest of the picture blank, grey or, for BMP and XBM, filled
// with whatever was in memory before.
bool cutShort(const QByteArray &format, QByteArrayView bytes, QSize size)
{
    if (format == "png")
        return pngCutShort(bytes);
    if (format == "bmp")
        return bmpCutShort(bytes, size);
    if (format == "gif")
        return gifCutShort(bytes);
    if (format == "jpeg" || format == "jpg")
        return jpegCutShort(bytes);
    if (format == "xbm")
        return xbmCutShort(bytes, size);
    return false;
}

// The picture in bytes, decoded, or with decode false only what its header
// tells checked (and decoded only where the header tells no size).
QImage readPicture(QByteArray bytes, const QString &path, bool decode)
{
    if (bytes.isEmpty())
        throwBadPicture(path, QStringLiteral("が空です。"), QStringLiteral("is empty."));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (!decode && format.isEmpty())
        throwNotAPicture(path);

    // Most formats tell their size from the header, before any pixel is
    // decoded: refuse a picture that claims to be enormous up front.
    const QSize claimed = reader.size();
    if (tooBig(claimed))
        throwTooBig(path, claimed);
    // A header that tells no size (Qt gives -1 × -1) is decoded to learn it,
    // as is a BMP stored top to bottom, whose negative height Qt also calls
    // invalid (one that is too big was refused above, undecoded).
    if (!decode && claimed.isValid()) {
        if (cutShort(format, bytes, claimed))
            throwCutShort(path, format);
        return {};
    }

    // The limit holds for every reader in the program, also those that Qt
    // starts inside one picture (an icon holding a PNG): no picture within
    // our bounds needs more, in the widest format Qt's readers make.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * kMaxBytesPerPixel / (1024 * 1024)));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throwNotAPicture(path);
    if (tooBig(image.size()))
        throwTooBig(path, image.size());
    if (cutShort(format, bytes, image.size()))
        throwCutShort(path, format);
    return image;
}

} // namespace

QImage decodePicture(QByteArray bytes, const QString &path)
{
    return readPicture(std::move(bytes), path, true);
}

void checkPicture(QByteArray bytes, const QString &path)
{
    readPicture(std::move(bytes), path, false);
}

QImage loadPicture(const QString &path)
{
    return decodePicture(readDataFile(path), path);
}

} // namespace data
