/*
 * test_pictures.cpp: loading pictures from the data folder.
 */
#include "common/fatalerror.h"
#include "data/picture.h"
#include "services/dataplatform.h"
#include "testing/forgedpng.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample()
{
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(3, 2, qRgb(200, 40, 40));
    return image;
}

// A BMP header that claims width × height pixels and carries no pixels.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(54, bytes.data() + 10);   // pixel data offset
    qToLittleEndian<quint32>(40, bytes.data() + 14);   // header size
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);    // planes
    qToLittleEndian<quint16>(24, bytes.data() + 28);   // bits per pixel
    return bytes;
}

// A GIF of width × height whose codes are all 8 bits wide (code size 7,
// a clear code every 100 codes, so the code table never grows past 8
// bits). pixels says how many pixels the data gives, stripes of colour.
QByteArray gif(quint16 width, quint16 height, int pixels)
{
    QByteArray bytes("GIF89a");
    char sides[4];
    qToLittleEndian<quint16>(width, sides);
    qToLittleEndian<quint16>(height, sides + 2);
    bytes.append(sides, 4).append("\xF6\x00\x00", 3); // 128 global colours
    for (int i = 0; i < 128; ++i)
        bytes.append(char(i * 2)).append(char(255 - i * 2)).append(char(i));
    bytes.append("\x2C\0\0\0\0", 5).append(sides, 4).append('\0');
    bytes.append('\x07');
    QByteArray codes;
    for (int i = 0; i < pixels; ++i) {
        if (i % 100 == 0)
            codes.append(char(128));
        codes.append(char((i / 4) % 128));
    }
    codes.append(char(129));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        bytes.append(char(block.size())).append(block);
    }
    return bytes.append('\0').append(';');
}

// A baseline JPEG of sample() whose frame header claims width × height.
QByteArray jpegClaiming(quint16 width, quint16 height)
{
    QByteArray bytes = encoded(sample(), "JPEG");
    const qsizetype frame = bytes.indexOf("\xff\xc0");
    qToBigEndian<quint16>(height, bytes.data() + frame + 5);
    qToBigEndian<quint16>(width, bytes.data() + frame + 7);
    return bytes;
}

QByteArray xbmClaiming(int width, int height)
{
    return QStringLiteral("#define a_width %1\n#define a_height %2\nstatic char a_bits[] = {\n0x00, 0x01 };\n")
        .arg(width).arg(height).toLatin1();
}

QByteArray xpmClaiming(int width, int height)
{
    return QStringLiteral("/* XPM */\nstatic char *a[] = {\n\"%1 %2 1 1\",\n\"  c #ffffff\",\n\"  \"};\n")
        .arg(width).arg(height).toLatin1();
}

// An icon holding one PNG, as Windows Vista icons do.
QByteArray iconHolding(const QByteArray &png)
{
    QByteArray bytes("\0\0\1\0\1\0", 6);
    QByteArray entry(16, '\0'); // 0 × 0 means 256 × 256
    qToLittleEndian<quint16>(1, entry.data() + 4);
    qToLittleEndian<quint16>(32, entry.data() + 6);
    qToLittleEndian<quint32>(quint32(png.size()), entry.data() + 8);
    qToLittleEndian<quint32>(22, entry.data() + 12);
    return bytes + entry + png;
}

// The most memory this process has ever held, in MiB.
qint64 peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.path() + '/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString loadError(const QString &path)
    {
        try {
            data::loadPicture(path);
        } catch (const FatalError &error) {
            return error.message();
        }
        return {};
    }

private slots:
    void enormousClaims_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("what");
        QTest::newRow("png 100000 × 100000") << pngClaiming(100000, 100000) << "is 100000 × 100000 pixels: too large";
        QTest::newRow("png 5000 × 5000") << pngClaiming(5000, 5000) << "is 5000 × 5000 pixels: too large";
        QTest::newRow("png 1 × 2147483647") << pngClaiming(1, 0x7FFFFFFF) << "The picture";
        QTest::newRow("bmp 100000 × 100000") << bmpHeader(100000, 100000) << "The picture";
        QTest::newRow("bmp 5000 × 5000") << bmpHeader(5000, 5000) << "too large";
        QTest::newRow("bmp 8000 × -8000") << bmpHeader(8000, -8000) << "too large";
        QTest::newRow("gif 65535 × 65535") << gif(65535, 65535, 100) << "too large";
        QTest::newRow("gif 5000 × 5000") << gif(5000, 5000, 100) << "too large";
        QTest::newRow("jpeg 65535 × 65535") << jpegClaiming(65535, 65535) << "The picture";
        QTest::newRow("jpeg 5000 × 5000") << jpegClaiming(5000, 5000) << "too large";
        QTest::newRow("pbm 100000 × 100000") << QByteArray("P4\n100000 100000\n") + QByteArray(100, '\xff') << "The picture";
        QTest::newRow("pgm 5000 × 5000") << QByteArray("P5\n5000 5000\n255\n") + QByteArray(100, '\x7f') << "too large";
        QTest::newRow("ppm 5000 × 5000, as text") << QByteArray("P3\n5000 5000\n255\n1 2 3\n") << "too large";
        QTest::newRow("xbm 100000 × 100000") << xbmClaiming(100000, 100000) << "The picture";
        QTest::newRow("xbm 5000 × 5000") << xbmClaiming(5000, 5000) << "The picture";
        QTest::newRow("xpm 100000 × 100000") << xpmClaiming(100000, 100000) << "The picture";
        QTest::newRow("xpm 5000 × 5000") << xpmClaiming(5000, 5000) << "too large";
        QTest::newRow("icon holding a png of 100000 × 100000") << iconHolding(pngClaiming(100000, 100000)) << "The picture";
        QTest::newRow("icon holding a png of 5000 × 5000") << iconHolding(pngClaiming(5000, 5000)) << "The picture";
    }

    // First of all, while the process's peak memory is still low: a header
    // that claims a picture far larger than ours could be is
    // refused before the pixels are decoded, or by Qt's allocation limit,
    // which we keep to what our largest picture needs: nowhere near the
    // gigabytes the claim asks for.
    void enormousClaims()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, what);
        const QString path = write(QStringLiteral("2.dat"), bytes);
        const qint64 before = peakMemoryMiB();
        const QString error = loadError(path);
        QVERIFY2(error.contains("The picture " + path), qPrintable(error));
        QVERIFY2(error.contains(what), qPrintable(error));
        const qint64 grown = peakMemoryMiB() - before;
        QVERIFY2(grown <= data::kMaxPicturePixels * data::kMaxBytesPerPixel / (1024 * 1024) + 16,
                 qPrintable(QStringLiteral("peak memory grew by %1 MiB").arg(grown)));
    }

    void anyFormatQtReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("exact"); // lossless with every colour of sample()
        const QSize size(12, 8);
        QTest::newRow("png") << encoded(sample(), "PNG") << size << true;
        QTest::newRow("png, 16 bits a channel")
            << encoded(sample().convertToFormat(QImage::Format_RGBX64), "PNG") << size << true;
        QTest::newRow("bmp") << encoded(sample(), "BMP") << size << true;
        QTest::newRow("bmp, 256 colours")
            << encoded(sample().convertToFormat(QImage::Format_Indexed8), "BMP") << size << true;
        QTest::newRow("bmp, black and white")
            << encoded(sample().convertToFormat(QImage::Format_Mono), "BMP") << size << false;
        QTest::newRow("ppm") << encoded(sample(), "PPM") << size << true;
        QTest::newRow("pgm") << encoded(sample(), "PGM") << size << false;
        QTest::newRow("pbm") << encoded(sample(), "PBM") << size << false;
        QTest::newRow("xpm") << encoded(sample(), "XPM") << size << true;
        QTest::newRow("xbm") << encoded(sample(), "XBM") << size << false;
        QTest::newRow("jpeg") << encoded(sample(), "JPEG") << size << false;
        QTest::newRow("ico") << encoded(sample(), "ICO") << size << true;
        QTest::newRow("gif") << gif(12, 8, 96) << size << false;
    }

    // The content decides the format; the file is still called .dat.
    void anyFormatQtReads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(bool, exact);
        const QString path = write("0.dat", bytes);
        QCOMPARE(loadError(path), QString());
        const QImage image = data::loadPicture(path);
        QCOMPARE(image.size(), size);
        if (exact)
            QCOMPARE(image.pixel(3, 2), qRgb(200, 40, 40));
    }

    // A picture within our bounds loads in every format Qt reads it into:
    // 3000 × 3000 at 16 bits a channel takes 72 MB as an image.
    void widePixelsWithinTheBoundsLoad()
    {
        QImage big(3000, 3000, QImage::Format_RGBX64);
        big.fill(Qt::darkGreen);
        const QString path = write("1.dat", encoded(big, "PNG"));
        QCOMPARE(loadError(path), QString());
        QCOMPARE(data::loadPicture(path).size(), QSize(3000, 3000));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("what");
        QTest::newRow("empty") << QByteArray() << "is empty.";
        QTest::newRow("garbage") << QByteArray("this is not a picture at all") << "is not a picture this game can read";
        QTest::newRow("a text file") << QByteArray("\x82\xcd\x82\xb6\x82\xdf\r\n") << "is not a picture this game can read";
        QTest::newRow("unknown format: PDF") << QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n") << "is not a picture this game can read";
        QTest::newRow("unknown format: WebP header")
            << QByteArray("RIFF\x24\0\0\0WEBPVP8 \x18\0\0\0", 20) << "is not a picture this game can read";
        QTest::newRow("png header only") << encoded(sample(), "PNG").left(40) << "is not a picture this game can read";
        QTest::newRow("too wide") << bmpHeader(9000, 1) << "too large";
        QTest::newRow("too many pixels") << bmpHeader(5000, 5000) << "too large";
        QTest::newRow("too tall, stored top down") << bmpHeader(1, -100000) << "× 100000 pixels: too large";

        // Cut in half: Qt stops quietly at the end of some formats and
        // fills the rest of the picture from memory or with a plain colour.
        QImage photo(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
        const auto half = [](const QByteArray &bytes) { return bytes.left(bytes.size() / 2); };
        QTest::newRow("cut short: png") << half(encoded(photo, "PNG")) << "The picture";
        QTest::newRow("cut short: bmp") << half(encoded(photo, "BMP")) << "is cut short";
        QTest::newRow("cut short: bmp, 256 colours")
            << half(encoded(photo.convertToFormat(QImage::Format_Indexed8), "BMP")) << "is cut short";
        QTest::newRow("cut short: bmp, black and white")
            << half(encoded(photo.convertToFormat(QImage::Format_Mono), "BMP")) << "is cut short";
        QTest::newRow("cut short: bmp, last byte missing") << encoded(photo, "BMP").chopped(1) << "is cut short";
        QTest::newRow("cut short: jpeg") << half(encoded(photo, "JPEG")) << "is cut short";
        QTest::newRow("cut short: jpeg, end marker missing") << encoded(photo, "JPEG").chopped(2) << "is cut short";
        QTest::newRow("cut short: gif") << half(gif(64, 48, 64 * 48)) << "is cut short";
        QTest::newRow("cut short: xbm") << half(encoded(photo, "XBM")) << "is cut short";
        QTest::newRow("cut short: xpm") << half(encoded(photo, "XPM")) << "The picture";
        QTest::newRow("cut short: ppm") << half(encoded(photo, "PPM")) << "The picture";
        QTest::newRow("cut short: pgm") << half(encoded(photo, "PGM")) << "The picture";
        QTest::newRow("cut short: pbm") << half(encoded(photo, "PBM")) << "The picture";
        QTest::newRow("cut short: ico") << half(encoded(photo, "ICO")) << "The picture";
    }

    // A picture that cannot be shown stops the game, naming the file.
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, what);
        const QString path = write(QStringLiteral("腐る.dat"), bytes);
        const QString error = loadError(path);
        QVERIFY2(error.contains("The picture " + path), qPrintable(error));
        QVERIFY2(error.contains(what), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("絵のファイル")), qPrintable(error));
    }

    // The look before the window reads only headers, but a header that
    // tells no size it can use (a BMP stored top to bottom gives a negative
    // height) sends the picture to the decoder, which refuses it without
    // its pixels; whole, it passes.
    void checkDecodesWhatTheHeaderDoesNotTell()
    {
        data::checkPicture(bmpHeader(4, -4) + QByteArray(4 * 4 * 3, '\x7f'), QStringLiteral("0.dat"));
        QString error;
        try {
            data::checkPicture(bmpHeader(4, -4), QStringLiteral("0.dat"));
        } catch (const FatalError &problem) {
            error = problem.english();
        }
        QVERIFY2(error.startsWith("The picture 0.dat "), qPrintable(error));
    }

    void missingPicture()
    {
        const QString path = m_dir.path() + "/4.dat";
        QVERIFY(loadError(path).contains("The data file " + path + " is missing."));
    }

    // The game loads a picture again at every watering: the file is read
    // each time, and what it holds now is what the game shows.
    void loadedAgain()
    {
        DataPlatform platform(m_dir.path());
        const QString path = write("1.dat", encoded(sample(), "PNG"));
        platform.loadPicture(path);
        const QImage first = platform.picture();
        QCOMPARE(first.pixel(3, 2), qRgb(200, 40, 40));

        // Unchanged: the very picture shown, not a new copy of it.
        platform.loadPicture(path);
        QCOMPARE(platform.picture().cacheKey(), first.cacheKey());

        // The same picture under another name is still that picture.
        platform.loadPicture(write("2.dat", encoded(sample(), "PNG")));
        QCOMPARE(platform.picture(), first);

        // Changed on disk: the new picture.
        QImage changed = sample();
        changed.setPixel(3, 2, qRgb(0, 0, 255));
        write("1.dat", encoded(changed, "PNG"));
        platform.loadPicture(path);
        QCOMPARE(platform.picture().pixel(3, 2), qRgb(0, 0, 255));

        // Broken, emptied or gone: the game stops, as on the first load.
        const auto error = [&platform, &path] {
            try {
                platform.loadPicture(path);
            } catch (const FatalError &e) {
                return e.message();
            }
            return QString();
        };
        write("1.dat", encoded(changed, "PNG").left(40));
        QVERIFY2(error().contains("is not a picture this game can read"), qPrintable(error()));
        write("1.dat", encoded(changed, "PNG"));
        platform.loadPicture(path);
        write("1.dat", QByteArray());
        QVERIFY2(error().contains("is empty."), qPrintable(error()));
        QVERIFY(QFile::remove(path));
        QVERIFY2(error().contains("is missing"), qPrintable(error()));

        // An empty file is refused on a first load too.
        DataPlatform fresh(m_dir.path());
        write("1.dat", QByteArray());
        QVERIFY_THROWS_EXCEPTION(FatalError, fresh.loadPicture(path));
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "test_pictures.moc"
