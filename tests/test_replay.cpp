/*
 * test_replay.cpp: whole games through pokotama-sim, the game without a
 * window, as a player (or a script) would drive it.
 */
#include "testing/player.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSim = QStringLiteral(POKOTAMA_SIM);
const QString kData = QStringLiteral(POKOTAMA_DATA);

struct Run
{
    int status = -1;
    QList<QJsonObject> states;
    QByteArray out;
    QString err;
};

// Runs the driver on a whole event stream at once.
Run replay(const QByteArray &events, const QStringList &args = {"--data", kData})
{
    QProcess sim;
    sim.start(kSim, args);
    sim.write(events);
    sim.closeWriteChannel();
    if (!sim.waitForFinished(60000))
        qFatal("pokotama-sim did not finish");
    Run run;
    run.status = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    run.out = sim.readAllStandardOutput();
    run.err = QString::fromUtf8(sim.readAllStandardError());
    for (const QByteArray &line : run.out.split('\n'))
        if (!line.isEmpty())
            run.states.append(QJsonDocument::fromJson(line).object());
    return run;
}

// Drives the driver one event at a time, reading each state before
// choosing the next event, as a player watching the screen does.
class Player
{
public:
    explicit Player(const QStringList &args = {"--data", kData})
    {
        m_sim.start(kSim, args);
        if (!m_sim.waitForStarted())
            qFatal("cannot start pokotama-sim");
    }
    ~Player()
    {
        m_sim.closeWriteChannel();
        m_sim.waitForFinished();
    }

    QJsonObject send(const char *event)
    {
        m_sim.write(event);
        m_sim.write("\n");
        while (!m_sim.canReadLine())
            if (!m_sim.waitForReadyRead(10000))
                qFatal("no answer to %s: %s", event, m_sim.readAllStandardError().constData());
        state = QJsonDocument::fromJson(m_sim.readLine()).object();
        return state;
    }

    QString caption() const { return state["Com"].toString(); }
    double level() const { return state["Level"].toDouble(); }

    QJsonObject state;

private:
    QProcess m_sim;
};

const QString kStart = QStringLiteral("はじめぃ");
const QString kWater = QStringLiteral("水をやる");
const QString kStartOver = QStringLiteral("やりなおし～");

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    // The example from the README: four events, four states.
    void firstEvents()
    {
        const Run run = replay("load\nclick\ntick\nclick\n");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.states.size(), 4);

        const QStringList keys{"Abouts", "Colour", "Com", "Draws", "GrowthStep", "ImgTimEnabled", "ImgVisible",
                               "LBl", "Level", "Picture", "Stage", "TimEnabled", "TimInterval", "TimLbl", "WiggleFrame"};
        for (const QJsonObject &state : run.states)
            QCOMPARE(state.keys(), keys);

        const QJsonObject &loaded = run.states[0];
        QCOMPARE(loaded["Com"].toString(), kStart);
        QVERIFY(loaded["LBl"].toString().startsWith("\r\n"));
        QCOMPARE(loaded["TimLbl"].toString(), QStringLiteral("0"));
        QCOMPARE(loaded["Level"].toDouble(), 300.0);
        QCOMPARE(loaded["Colour"].toInt(), 255);
        QCOMPARE(loaded["Picture"].toString(), QStringLiteral("0"));
        QCOMPARE(loaded["TimEnabled"].toBool(), false);
        QCOMPARE(loaded["TimInterval"].toInt(), 400);
        QCOMPARE(loaded["ImgTimEnabled"].toBool(), true);
        QCOMPARE(loaded["WiggleFrame"].toInt(), 1);
        QCOMPARE(loaded["Draws"].toInt(), 0);

        QCOMPARE(run.states[1]["Com"].toString(), kWater);
        QCOMPARE(run.states[1]["TimEnabled"].toBool(), true);

        // First draw 0.7055475: 80 evaporates.
        QCOMPARE(run.states[2]["TimLbl"].toString(), QStringLiteral("1"));
        QCOMPARE(run.states[2]["Level"].toDouble(), 220.0);
        QCOMPARE(run.states[2]["Draws"].toInt(), 1);

        // Draws 0.5334240 and 0.5795186: 63 of water, roll 57; a third
        // draw picks the message.
        QCOMPARE(run.states[3]["Level"].toDouble(), 283.0);
        QCOMPARE(run.states[3]["Draws"].toInt(), 4);
        QCOMPARE(run.states[3]["Com"].toString(), kWater);
        QVERIFY(run.states[3]["LBl"].toString().startsWith("\r\n"));
    }

    // Frames and ticks count only while their clock runs; blank lines and
    // stray spaces are ignored.
    void eventsOnStoppedClocks()
    {
        const Run run = replay("load\n\n  tick \nframe\r\nframe\n");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.states.size(), 4);
        QCOMPARE(run.states[1]["TimLbl"].toString(), QStringLiteral("0"));
        QCOMPARE(run.states[1]["Draws"].toInt(), 0);
        QCOMPARE(run.states[2]["WiggleFrame"].toInt(), 2);
        QCOMPARE(run.states[3]["WiggleFrame"].toInt(), 1);
    }

    void reachesEveryEnding_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<driver::Aim>("aim");
        QTest::newRow("love") << "love" << driver::Aim::Love;
        QTest::newRow("wither") << QStringLiteral("枯れる") << driver::Aim::Wither;
        QTest::newRow("rot") << QStringLiteral("腐る") << driver::Aim::Rot;
    }

    // Plays a round from the opening to the ending it aims for, then starts
    // over.
    void reachesEveryEnding()
    {
        QFETCH(QString, ending);
        QFETCH(driver::Aim, aim);
        Player player;
        player.send("load");
        player.send("click");
        QCOMPARE(player.caption(), kWater);
        int events = 0;
        while (player.caption() == kWater && events++ < 5000) {
            player.send(driver::nameOf(driver::nextMove(aim, float(player.level()))));
            player.send("frame");
        }
        QCOMPARE(player.caption(), kStartOver);
        QCOMPARE(player.state["Picture"].toString(), ending);
        QCOMPARE(player.state["TimEnabled"].toBool(), false);
        if (ending == "love") {
            QCOMPARE(player.state["Stage"].toInt(), 5);
            QCOMPARE(player.state["TimInterval"].toInt(), 280);
        }

        player.send("click");
        QCOMPARE(player.caption(), kStart);
        QCOMPARE(player.state["Abouts"].toInt(), 1);
        QCOMPARE(player.state["Picture"].toString(), QStringLiteral("0"));
        QCOMPARE(player.state["Level"].toDouble(), 300.0);
    }

    // A long stream of random events replays the same on every run, and no
    // state ever leaves the bounds the rules keep.
    void randomPlayReplaysIdentically()
    {
        QRandomGenerator events(20261207);
        QByteArray stream = "load\n";
        const char *kinds[] = {"tick", "tick", "tick", "tick", "click", "frame", "frame", "about"};
        for (int i = 0; i < 20000; ++i)
            stream += QByteArray(kinds[events.bounded(8)]) + '\n';

        const Run first = replay(stream);
        const Run second = replay(stream);
        QCOMPARE(first.status, 0);
        QCOMPARE(first.states.size(), 20001);
        QVERIFY(first.out == second.out);

        for (const QJsonObject &state : first.states) {
            const double level = state["Level"].toDouble();
            QVERIFY(level > 0 && level < 1000);
            const int stage = state["Stage"].toInt();
            QVERIFY(stage >= 0 && stage <= 5);
            const QString caption = state["Com"].toString();
            QVERIFY(caption == kStart || caption == kWater || caption == kStartOver);
            QVERIFY(state["TimInterval"].toInt() >= 10);
        }
        QVERIFY(first.states.last()["Abouts"].toInt() > 0);
    }

    // A data file missing at the moment it is needed stops the driver with
    // status 1 and a message naming the file; no state is printed for the
    // event that failed.
    void missingFileStopsWithStatus1()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString &name : QDir(kData).entryList(QDir::Files))
            if (name != QStringLiteral("腐る.dat"))
                QVERIFY(QFile::copy(kData + '/' + name, dir.path() + '/' + name));

        QByteArray stream = "load\nclick\n";
        for (int i = 0; i < 40; ++i)
            stream += "click\n";
        const Run run = replay(stream, {"--data", dir.path()});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(dir.path() + QStringLiteral("/腐る.dat")), qPrintable(run.err));
        QVERIFY(run.states.size() >= 2);
        QCOMPARE(run.states.last()["Com"].toString(), kWater);
    }

    void missingDataFolder()
    {
        const Run run = replay("load\n", {"--data", "/nonexistent/dat"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("The data folder /nonexistent/dat is missing."), qPrintable(run.err));
        QVERIFY(run.states.isEmpty());
    }

    void badInputIsStatus2_data()
    {
        QTest::addColumn<QByteArray>("events");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("why");
        const QStringList data{"--data", kData};
        QTest::newRow("unknown event") << QByteArray("load\njump\n") << data << "unknown event \"jump\"";
        QTest::newRow("event before load")
            << QByteArray("tick\n") << data << "the first event must be \"load\", not \"tick\"";
        QTest::newRow("unknown event first")
            << QByteArray("jump\n") << data << "the first event must be \"load\", not \"jump\"";
        QTest::newRow("second load") << QByteArray("load\nload\n") << data << "\"load\" comes only once";
        QTest::newRow("unknown option") << QByteArray("load\n") << QStringList{"--fast"} << "unknown argument";
        QTest::newRow("--data without a folder") << QByteArray("load\n") << QStringList{"--data"} << "unknown argument";
    }

    // Bad input is refused with a line that says what is wrong.
    void badInputIsStatus2()
    {
        QFETCH(QByteArray, events);
        QFETCH(QStringList, args);
        QFETCH(QString, why);
        const Run run = replay(events, args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("pokotama-sim: " + why + "\n"), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "test_replay.moc"
