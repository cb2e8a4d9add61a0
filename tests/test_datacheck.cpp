/*
 * test_datacheck.cpp: the whole data folder looked over before the game
 * starts, so a broken file is met at once and not at the end of a round.
 */
#include "data/picture.h"
#include "services/datacheck.h"
#include "testing/forgedpng.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(POKOTAMA_DATA);

// A copy of the shipped data folder, to spoil; its path ends in a slash.
QString copyOfData(const QTemporaryDir &dir)
{
    const QString copy = dir.path() + "/dat/";
    QDir().mkpath(copy);
    for (const QString &name : QDir(kData).entryList(QDir::Files))
        QFile::copy(kData + '/' + name, copy + name);
    return copy;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList english(const QList<FatalError> &problems)
{
    QStringList lines;
    for (const FatalError &problem : problems)
        lines << problem.english();
    return lines;
}

} // namespace

class TestDataCheck : public QObject
{
    Q_OBJECT

private slots:
    void shippedDataPasses()
    {
        QTemporaryDir dir;
        QCOMPARE(english(checkDataFolder(copyOfData(dir))), QStringList());
    }

    // Every problem, whichever file and whenever the rules would meet it,
    // in one list: the ending's picture as much as the opening's.
    void everyProblemAtOnce()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        QFile::remove(data + "love.dat");
        write(data + "muni.tad", "a\r\n>\r\n");
        const QByteArray png = bytesOf(data + "2.dat");
        write(data + "2.dat", png.left(png.size() / 2));
        QFile::remove(data + QStringLiteral("枯れる.tad"));
        QVERIFY(QDir().mkdir(data + QStringLiteral("枯れる.tad")));
        write(data + QStringLiteral("腐る.dat"), pngClaiming(100000, 100000));

        const QStringList found = english(checkDataFolder(data));
        QCOMPARE(found, (QStringList{
                            "Message table " + data + "muni.tad, line 2: the file ends right after \">\"; "
                                                      "a \">\" must be followed by a line.",
                            data + QStringLiteral("枯れる.tad is a folder, not a file."),
                            "The picture " + data + "2.dat is cut short: its PNG picture data ends early.",
                            "The data file " + data + "love.dat is missing.",
                            "The picture " + data + QStringLiteral("腐る.dat is 100000 × 100000 pixels: too large (at "
                                                                 "most 8192 a side, 16777216 in all)."),
                        }));
    }

    // Without its folder, every file would be missing: one problem says it.
    void missingFolderIsOneProblem()
    {
        QTemporaryDir dir;
        QCOMPARE(english(checkDataFolder(dir.path() + "/dat/")),
                 QStringList{"The data folder " + dir.path() + "/dat is missing."});
        write(dir.path() + "/dat", "not a folder");
        QCOMPARE(english(checkDataFolder(dir.path() + "/dat/")),
                 QStringList{"The data folder " + dir.path() + "/dat is not a folder."});
    }

    // Only headers and the file's structure are read, never the pixels: a
    // picture whose image data is garbage passes, and the rules' own
    // decoding refuses it when it is shown.
    void picturesAreNotDecoded()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        // Its image data ends long before the 512 rows its header claims.
        write(data + "3.dat", pngClaiming(512, 512));
        QCOMPARE(english(checkDataFolder(data)), QStringList());
        QVERIFY_THROWS_EXCEPTION(FatalError, data::loadPicture(data + "3.dat"));
    }
};

QTEST_GUILESS_MAIN(TestDataCheck)
#include "test_datacheck.moc"
