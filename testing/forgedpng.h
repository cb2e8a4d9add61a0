/*
 * forgedpng.h: PNG files made byte by byte, for the tests of hostile
 * pictures: a header may claim any size, with a correct checksum, so that
 * only the size itself is wrong.
 */
#pragma once

#include <QByteArray>
#include <QtEndian>

inline QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// CRC-32 as PNG chunks carry it.
inline quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    return bigEndian32(quint32(data.size())) + type + data + bigEndian32(crc32(type + data));
}

// A PNG whose header (with a correct checksum) claims width × height
// pixels of 8-bit RGB, followed by a little image data and the end chunk.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray header = bigEndian32(width) + bigEndian32(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const QByteArray data = qCompress(QByteArray(1000, '\0')).mid(4); // zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", data)
           + pngChunk("IEND", {});
}
