/*
 * test_badinput.cpp: broken and hostile data folders, through pokotama-sim.
 *
 * A player may unpack a broken archive, save a text in the wrong encoding
 * or drop in any picture. Every case here copies the real data folder,
 * spoils one file in it, and plays the game through the simulator up
 * to the moment the file is needed. A broken file must stop the game with
 * status 1 and a message naming the file; text that merely decodes badly
 * must show replacement characters and let play go on. Never a crash,
 * a hang or a silent default.
 */
#include "testing/forgedpng.h"
#include "testing/player.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSim = QStringLiteral(POKOTAMA_SIM);
const QString kData = QStringLiteral(POKOTAMA_DATA);
const QString kWater = QStringLiteral("水をやる");
const QString kStartOver = QStringLiteral("やりなおし～");

// How far to play: the file under test is read at load time, on the way
// to the love ending (stage pictures 1 to 4, love), or at an ending.
enum Aim { Load, Love, Wither, Rot };

struct Outcome
{
    int status = -1; // exit status; 0 once the aim is reached
    QString err;
    QJsonObject state; // the last state printed
};

driver::Aim playerAim(Aim aim)
{
    return aim == Rot ? driver::Aim::Rot : aim == Love ? driver::Aim::Love : driver::Aim::Wither;
}

// Plays towards aim one event at a time, as a player watching the screen,
// until the aim is reached or the driver stops.
Outcome play(const QString &dataDir, Aim aim)
{
    QProcess sim;
    sim.start(kSim, {"--data", dataDir});
    if (!sim.waitForStarted())
        qFatal("cannot start pokotama-sim");
    Outcome outcome;
    const auto stopped = [&] {
        sim.closeWriteChannel();
        if (sim.state() != QProcess::NotRunning && !sim.waitForFinished(60000))
            qFatal("pokotama-sim did not stop");
        outcome.status = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
        outcome.err = QString::fromUtf8(sim.readAllStandardError());
        return outcome;
    };
    const auto send = [&](const char *event) {
        sim.write(event);
        sim.write("\n");
        while (!sim.canReadLine())
            if (!sim.waitForReadyRead(60000) && !sim.canReadLine())
                return false; // the driver stopped
        outcome.state = QJsonDocument::fromJson(sim.readLine()).object();
        return true;
    };

    if (!send("load"))
        return stopped();
    if (aim == Load)
        return stopped();
    if (!send("click"))
        return stopped();
    for (int events = 0; outcome.state["Com"].toString() == kWater && events < 5000; ++events) {
        const double level = outcome.state["Level"].toDouble();
        if (!send(driver::nameOf(driver::nextMove(playerAim(aim), float(level)))))
            return stopped();
    }
    // Start over, which reads the opening and the stage-0 picture again.
    if (!send("click"))
        return stopped();
    return stopped();
}

// Plays a fixed game in one go, without watching: load, start, then 60
// clicks for Rot (it rots) or 60 ticks otherwise (it withers on the way).
// The states printed, and the exit status (-1 if the driver hung or
// crashed).
struct Replay
{
    int status = -1;
    QList<QJsonObject> states;
};

Replay replayBlind(const QString &dataDir, Aim aim)
{
    QProcess sim;
    sim.start(kSim, {"--data", dataDir});
    QByteArray events = "load\nclick\n";
    for (int i = 0; i < 60; ++i)
        events += aim == Rot ? "click\n" : "tick\n";
    sim.write(events);
    sim.closeWriteChannel();
    Replay replay;
    if (!sim.waitForFinished(60000))
        return replay;
    replay.status = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    for (const QByteArray &line : sim.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            replay.states << QJsonDocument::fromJson(line).object();
    return replay;
}

QString copyOfData(const QTemporaryDir &dir)
{
    const QString copy = dir.path() + "/dat";
    QDir().mkpath(copy);
    for (const QString &name : QDir(kData).entryList(QDir::Files))
        QFile::copy(kData + '/' + name, copy + '/' + name);
    return copy;
}

QByteArray sjis(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray jpeg()
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// The table as the game needs it, in Shift-JIS, with groups given.
QByteArray table(const QStringList &lines)
{
    return sjis(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// Every data file, with the point of play that needs it.
const QList<QPair<QString, Aim>> &dataFiles()
{
    static const QList<QPair<QString, Aim>> files{
        {"opn.tad", Load},    {"muni.tad", Load}, {"0.dat", Load},  {"1.dat", Love},
        {"2.dat", Love},      {"3.dat", Love},    {"4.dat", Love},  {"love.dat", Love},
        {"love.tad", Love},   {QStringLiteral("枯れる.dat"), Wither}, {QStringLiteral("枯れる.tad"), Wither},
        {QStringLiteral("腐る.dat"), Rot}, {QStringLiteral("腐る.tad"), Rot},
    };
    return files;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    // The unspoilt folder plays every aim to its end: the baseline.
    void intactDataPlays_data()
    {
        QTest::addColumn<int>("aim");
        QTest::newRow("love") << int(Love);
        QTest::newRow("wither") << int(Wither);
        QTest::newRow("rot") << int(Rot);
    }

    void intactDataPlays()
    {
        QFETCH(int, aim);
        QTemporaryDir dir;
        const Outcome outcome = play(copyOfData(dir), Aim(aim));
        QCOMPARE(outcome.status, 0);
        QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.err));
        QCOMPARE(outcome.state["Com"].toString(), QStringLiteral("はじめぃ"));
        QCOMPARE(outcome.state["Abouts"].toInt(), 1);
    }

    void brokenFileStops_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("aim");
        QTest::addColumn<QString>("message");

        for (const auto &[file, aim] : dataFiles()) {
            QTest::addRow("missing %s", qPrintable(file)) << file << "remove" << QByteArray() << int(aim)
                                                          << "The data file %1 is missing.";
            QTest::addRow("folder as %s", qPrintable(file)) << file << "folder" << QByteArray() << int(aim)
                                                            << "%1 is a folder, not a file.";
        }
        for (const auto &[file, aim] : dataFiles())
            if (file.endsWith(".dat"))
                QTest::addRow("empty %s", qPrintable(file)) << file << "bytes" << QByteArray() << int(aim)
                                                            << "The picture %1 is empty.";

        const QByteArray png = fileBytes(kData + "/0.dat");
        QTest::newRow("picture cut in half") << "0.dat" << "bytes" << png.left(png.size() / 2) << int(Load)
                                             << "The picture %1 is not a picture this game can read";
        QTest::newRow("picture of garbage") << "2.dat" << "bytes" << QByteArray(3000, '\x5a') << int(Love)
                                            << "The picture %1 is not a picture this game can read";
        QTest::newRow("picture of unknown format") << "love.dat" << "bytes" << QByteArray("%PDF-1.4\n%\xe2\xe3\n")
                                                   << int(Love) << "The picture %1 is not a picture";
        QTest::newRow("jpeg cut short") << "3.dat" << "bytes" << jpeg().chopped(40) << int(Love)
                                        << "The picture %1 is cut short";
        QTest::newRow("png claiming 100000 × 100000") << "0.dat" << "bytes" << pngClaiming(100000, 100000) << int(Load)
                                                      << "The picture %1 is 100000 × 100000 pixels: too large";
        QTest::newRow("named pipe as opn.tad") << "opn.tad" << "pipe" << QByteArray() << int(Load)
                                               << "%1 is not a regular file.";
        QTest::newRow("device as muni.tad") << "muni.tad" << "device" << QByteArray() << int(Load)
                                            << "%1 is not a regular file.";
        QTest::newRow("text of a million line ends and one") << QStringLiteral("love.tad") << "bytes"
                                                             << QByteArray(1000001, '\n') << int(Love)
                                                             << "The data file %1 has too many lines";
        QTest::newRow("text over 64 MiB") << QStringLiteral("腐る.tad") << "huge" << QByteArray() << int(Rot)
                                          << "The data file %1 is too large";

        QStringList groups;
        for (int g = 0; g < 5000; ++g)
            groups << QStringLiteral("group %1").arg(g) << ">";
        groups << "last";
        QTest::newRow("table of 5000 groups") << "muni.tad" << "bytes" << table(groups) << int(Load)
                                              << "Message table %1, line 10: \">\" number 5 starts a sixth group";
        QStringList twelve;
        for (int l = 0; l < 12; ++l)
            twelve << QString::number(l);
        QTest::newRow("table with a twelfth line") << "muni.tad" << "bytes" << table(twelve) << int(Load)
                                                   << "Message table %1, line 12: a twelfth line in group 0";
        QTest::newRow("table ending in >") << "muni.tad" << "bytes" << table({"a", ">"}) << int(Load)
                                           << "Message table %1, line 2: the file ends right after \">\"";
    }

    // A file that cannot serve stops the game when it is needed, with
    // status 1 and a message naming the file (and the table's line).
    void brokenFileStops()
    {
        QFETCH(QString, file);
        QFETCH(QString, change);
        QFETCH(QByteArray, bytes);
        QFETCH(int, aim);
        QFETCH(QString, message);

        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        const QString path = data + '/' + file;
        const QByteArray native = QFile::encodeName(path);
        QFile::remove(path);
        if (change == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (change == "bytes")
            writeBytes(path, bytes);
        else if (change == "pipe")
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        else if (change == "device")
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        else if (change == "huge") { // sparse: no disk used
            writeBytes(path, {});
            QCOMPARE(::truncate(native.constData(), 65 * 1024 * 1024), 0);
        }

        const Outcome outcome = play(data, Aim(aim));
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains(message.arg(path)), qPrintable(outcome.err));
        // It ends the output: a line in Japanese, then the same in English.
        // (Qt's picture readers may say what they met before it.)
        const QStringList lines = outcome.err.trimmed().split(u'\n');
        QVERIFY(lines.size() >= 2);
        QVERIFY2(lines.last().contains(message.arg(path)), qPrintable(outcome.err));
        QVERIFY2(lines[lines.size() - 2].contains(path), qPrintable(outcome.err));
    }

    void missingOrFileAsDataFolder()
    {
        QTemporaryDir dir;
        Outcome outcome = play(dir.path() + "/dat", Load);
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains("The data folder " + dir.path() + "/dat is missing."), qPrintable(outcome.err));

        writeBytes(dir.path() + "/dat", "not a folder");
        outcome = play(dir.path() + "/dat", Load);
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains("The data folder " + dir.path() + "/dat is not a folder."), qPrintable(outcome.err));
    }

    // Files named in Shift-JIS bytes, as an archive made on Windows
    // unpacks them, are found: both Japanese-named endings play.
    void shiftJisFileNamesAreFound_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("aim");
        QTest::newRow("枯れる") << QStringLiteral("枯れる") << int(Wither);
        QTest::newRow("腐る") << QStringLiteral("腐る") << int(Rot);
    }

    void shiftJisFileNamesAreFound()
    {
        QFETCH(QString, ending);
        QFETCH(int, aim);
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        for (const char *suffix : {".tad", ".dat"}) {
            const QString utf8 = data + '/' + ending + suffix;
            const QByteArray sjisPath = QFile::encodeName(data + '/') + sjis(ending + suffix);
            QCOMPARE(::rename(QFile::encodeName(utf8).constData(), sjisPath.constData()), 0);
        }
        const Replay replay = replayBlind(data, Aim(aim));
        QCOMPARE(replay.status, 0);
        bool ended = false;
        for (const QJsonObject &state : replay.states) {
            if (state["Com"].toString() == kStartOver) {
                QCOMPARE(state["Picture"].toString(), ending);
                QVERIFY(state["LBl"].toString().startsWith("\r\n"));
                ended = true;
            }
        }
        QVERIFY(ended);
        // QTemporaryDir cannot remove names that are not UTF-8.
        for (const char *suffix : {".tad", ".dat"})
            ::unlink((QFile::encodeName(data + '/') + sjis(ending + suffix)).constData());
    }

    void oddTextPlaysOn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("aim");
        QTest::addColumn<QString>("shown"); // the message area at the end, or a part of it

        QTest::newRow("empty opening") << "opn.tad" << QByteArray() << int(Load) << "";
        QTest::newRow("empty ending text") << QStringLiteral("枯れる.tad") << QByteArray() << int(Wither) << "";
        QTest::newRow("empty message table") << "muni.tad" << QByteArray() << int(Rot) << "";
        QTest::newRow("not code page 932")
            << "opn.tad" << QByteArray("\x82\xcd\xff\x82\x80\xa0\xfd") << int(Load) << QStringLiteral("\r\nは\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("NUL bytes") << "opn.tad" << QByteArray("a\0b\0", 4) << int(Load)
                                   << QStringLiteral("\r\na") + QChar(0) + "b" + QChar(0);
        QTest::newRow("UTF-8 with a byte-order mark")
            << "opn.tad" << QByteArray("\xef\xbb\xbf") + QStringLiteral("ようこそ\r\n～①").toUtf8() << int(Load)
            << QStringLiteral("\r\nようこそ\r\n～①");
        QTest::newRow("spaced > is a message")
            << "muni.tad" << table({" > ", " > ", " > ", " > ", " > ", " > ", " > ", " > ", " > ", " > "})
            << int(Load) << "";
        QTest::newRow("a line of ten megabytes")
            << QStringLiteral("腐る.tad") << QByteArray(10 * 1024 * 1024, 'x') << int(Rot) << "";
    }

    // Text that decodes badly shows replacement characters, and play goes
    // on to the end of the round.
    void oddTextPlaysOn()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, aim);
        QFETCH(QString, shown);

        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        writeBytes(data + '/' + file, bytes);
        if (aim == Load) {
            QProcess sim;
            sim.start(kSim, {"--data", data});
            sim.write("load\n");
            sim.closeWriteChannel();
            QVERIFY(sim.waitForFinished(60000));
            QCOMPARE(sim.exitCode(), 0);
            const QJsonObject state = QJsonDocument::fromJson(sim.readAllStandardOutput()).object();
            if (file == "opn.tad")
                QCOMPARE(state["LBl"].toString(), shown);
            QCOMPARE(state["Com"].toString(), QStringLiteral("はじめぃ"));
            return;
        }
        const Replay replay = replayBlind(data, Aim(aim));
        QCOMPARE(replay.status, 0);
        QJsonObject ended;
        for (const QJsonObject &state : replay.states) {
            if (state["Com"].toString() == kStartOver && ended.isEmpty())
                ended = state;
            // An empty table: a watering shows the empty first line alone.
            if (file == "muni.tad" && ended.isEmpty() && state["Com"].toString() == kWater
                && state["Draws"].toInt() > 0)
                QCOMPARE(state["LBl"].toString(), QStringLiteral("\r\n"));
        }
        QVERIFY(!ended.isEmpty());
        if (file.endsWith(".tad") && file != "muni.tad") {
            if (bytes.size() > 1000)
                QCOMPARE(ended["LBl"].toString().size(), 2 + bytes.size());
            else
                QCOMPARE(ended["LBl"].toString(), shown);
        }
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "test_badinput.moc"
