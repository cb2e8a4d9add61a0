/*
 * test_pictures.cpp: loading pictures from the data folder.
 */
#include "data/dataplatform.h"
#include "data/fatalerror.h"
#include "data/picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

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
    void anyFormatQtReads_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << QByteArray("PNG");
        QTest::newRow("bmp") << QByteArray("BMP");
        QTest::newRow("ppm") << QByteArray("PPM");
    }

    // The content decides the format; the file is still called .dat.
    void anyFormatQtReads()
    {
        QFETCH(QByteArray, format);
        const QString path = write("0.dat", encoded(sample(), format.constData()));
        const QImage image = data::loadPicture(path);
        QCOMPARE(image.size(), QSize(12, 8));
        QCOMPARE(image.pixel(3, 2), qRgb(200, 40, 40));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("what");
        QTest::newRow("empty") << QByteArray() << "the file is empty";
        QTest::newRow("garbage") << QByteArray("this is not a picture at all") << "not a picture Qt can read";
        QTest::newRow("truncated png") << encoded(sample(), "PNG").left(40) << "not a picture Qt can read";
        // Qt itself refuses this header before we see its size.
        QTest::newRow("enormous claim") << bmpHeader(100000, 100000) << "not a picture Qt can read";
        QTest::newRow("too wide") << bmpHeader(9000, 1) << "too large";
        QTest::newRow("too many pixels") << bmpHeader(5000, 5000) << "too large";
    }

    // A picture that cannot be shown stops the game, naming the file.
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, what);
        const QString path = write(QStringLiteral("腐る.dat"), bytes);
        const QString error = loadError(path);
        QVERIFY2(error.contains("Cannot read the picture " + path), qPrintable(error));
        QVERIFY2(error.contains(what), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("絵のファイル")), qPrintable(error));
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
        QVERIFY2(error().contains("not a picture Qt can read"), qPrintable(error()));
        write("1.dat", encoded(changed, "PNG"));
        platform.loadPicture(path);
        write("1.dat", QByteArray());
        QVERIFY2(error().contains("the file is empty"), qPrintable(error()));
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
