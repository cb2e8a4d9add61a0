/*
 * test_roundstart.cpp: the window opening, a round starting, starting over.
 */
#include "testing/memoryplatform.h"

#include <QTest>

class TestRoundStart : public QObject
{
    Q_OBJECT

private slots:
    // Before the first activation the controls show their design values
    // and the growth clock does not run.
    void designStateBeforeTheFirstRound()
    {
        MemoryPlatform platform;
        platform.addStandardData();
        Fom fom(platform);
        fom.LoadForm();
        QCOMPARE(fom.Com.Caption, texts::kWater);
        QCOMPARE(fom.LBl.Caption, QStringLiteral("Label1"));
        QVERIFY(!fom.Tim.Enabled);
        QCOMPARE(fom.Tim.Interval, 400);
        QVERIFY(fom.ImgTim.Enabled);
        QCOMPARE(fom.ImgTim.Interval, 100);
        QCOMPARE(fom.E.Picture, QString());
    }

    // LoadForm reads the data folder's message table and fills the titles.
    void loadFormReadsTheTable()
    {
        Game game;
        QCOMPARE(game.fom.DataDir, game.platform.dir);
        QCOMPARE(game.fom.StageMsg[0][0], QStringLiteral("g0 l0"));
        QCOMPARE(game.fom.StageMsg[4][9], QStringLiteral("g4 l9"));
        QCOMPARE(game.fom.StageMsg[2][10], QString());
        QCOMPARE(game.fom.StageTitle[0], QString());
        QCOMPARE(game.fom.StageTitle[1], QStringLiteral("幼いながらも"));
        QCOMPARE(game.fom.StageTitle[4], QStringLiteral("そろそろ色気づいてきた"));
    }

    // After the first activation and before any click.
    void firstRoundIsReady()
    {
        Game game;
        const Fom &fom = game.fom;
        QCOMPARE(fom.LBl.Caption, QStringLiteral("\r\nopening 1\r\nopening 2"));
        QCOMPARE(fom.ShpStr.Width, 300.0f);
        QCOMPARE(fom.ShpStr.Height, 1.0f);
        QCOMPARE(fom.ShpStr.BackColor, colour::kRed);
        QCOMPARE(fom.Com.Caption, texts::kStart);
        QCOMPARE(fom.TimLbl.Caption, QStringLiteral("0"));
        QCOMPARE(fom.Stage, qint16(0));
        QCOMPARE(fom.GrowthStep, qint16(10));
        QCOMPARE(fom.WiggleFrame, qint16(1));
        QVERIFY(!fom.Tim.Enabled);
        QCOMPARE(fom.E.Picture, QStringLiteral("0"));
        QCOMPARE(game.platform.lastPicture(), game.path("0.dat"));
        QVERIFY(fom.Img.Visible);
        QCOMPARE(game.platform.drawn, std::int64_t(0));
        QCOMPARE(game.platform.aboutBoxes, 0);
    }

    // Only the first activation starts a round: coming back to the window
    // later leaves a running round alone.
    void laterActivationsStartNothing()
    {
        Game game;
        game.start();
        game.tick(20);
        game.fom.FormActivate();
        QCOMPARE(game.fom.Com.Caption, texts::kWater);
        QCOMPARE(game.fom.TimLbl.Caption, QStringLiteral("1"));
        QCOMPARE(game.fom.ShpStr.Width, 280.0f);
    }

    // はじめぃ turns on the clocks and changes the caption; the opening text,
    // the picture and the bar stay until the first watering or tick.
    void startClickChangesOnlyTheClocks()
    {
        Game game;
        const QString text = game.fom.LBl.Caption;
        const qsizetype loads = game.platform.pictureLoads;
        game.fom.ImgTim.Enabled = false;
        game.start();
        QVERIFY(game.fom.Tim.Enabled);
        QVERIFY(game.fom.ImgTim.Enabled);
        QCOMPARE(game.fom.Com.Caption, texts::kWater);
        QCOMPARE(game.fom.LBl.Caption, text);
        QCOMPARE(game.platform.pictureLoads, loads);
        QCOMPARE(game.fom.ShpStr.Width, 300.0f);
        QCOMPARE(game.platform.drawn, std::int64_t(0));
    }

    // Starting over shows the about box first, with the ended round still on
    // the screen, and then resets everything but the growth clock's period.
    void startingOverKeepsTheShorterInterval()
    {
        Game game;
        game.start();
        game.fom.ShpStr.Width = 5000; // plenty of water: the round runs to stage 2
        for (int i = 0; i < 30; ++i)
            game.tick(10);
        QCOMPARE(game.fom.Stage, qint16(2));
        QCOMPARE(game.fom.Tim.Interval, 340);
        game.water(50, 99); // 4700 + 50 ≥ 1000: rots
        QCOMPARE(game.fom.Com.Caption, texts::kStartOver);

        bool endedDuringAbout = false;
        game.platform.onAbout = [&] {
            endedDuringAbout = game.fom.Com.Caption == texts::kStartOver && game.fom.E.Picture == texts::kRot;
        };
        game.fom.ButtonClick();
        QVERIFY(endedDuringAbout);
        QCOMPARE(game.platform.aboutBoxes, 1);

        QCOMPARE(game.fom.Com.Caption, texts::kStart);
        QCOMPARE(game.fom.Stage, qint16(0));
        QCOMPARE(game.fom.GrowthStep, qint16(10));
        QCOMPARE(game.fom.TimLbl.Caption, QStringLiteral("0"));
        QCOMPARE(game.fom.ShpStr.Width, 300.0f);
        QCOMPARE(game.fom.ShpStr.BackColor, colour::kRed);
        QCOMPARE(game.fom.LBl.Caption, QStringLiteral("\r\nopening 1\r\nopening 2"));
        QCOMPARE(game.fom.WiggleFrame, qint16(1));
        QVERIFY(!game.fom.Tim.Enabled);
        QCOMPARE(game.fom.Tim.Interval, 340);
        // The stage-0 picture comes back after the ending's picture.
        QCOMPARE(game.platform.lastPicture(), game.path("0.dat"));
    }

    // The opening file is read again at every round start: what it says now
    // is what the new round shows.
    void openingIsReadAtEveryRoundStart()
    {
        Game game;
        game.fom.EndRound(texts::kLove);
        game.platform.addText("opn", {"changed"});
        game.fom.ButtonClick();
        QCOMPARE(game.fom.LBl.Caption, QStringLiteral("\r\nchanged"));
    }

    void fixedTextsByCodePoint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("codePoints");
        QTest::newRow("start") << texts::kStart << QList<int>{0x306F, 0x3058, 0x3081, 0x3043};
        QTest::newRow("water") << texts::kWater << QList<int>{0x6C34, 0x3092, 0x3084, 0x308B};
        QTest::newRow("start over") << texts::kStartOver << QList<int>{0x3084, 0x308A, 0x306A, 0x304A, 0x3057, 0xFF5E};
        QTest::newRow("wither") << texts::kWither << QList<int>{0x67AF, 0x308C, 0x308B};
        QTest::newRow("rot") << texts::kRot << QList<int>{0x8150, 0x308B};
        QTest::newRow("title 2") << texts::kStageTitles[2]
                                 << QList<int>{0x751F, 0x610F, 0x6C17, 0x306B, 0x306A, 0x3063, 0x3066, 0x304D, 0x3066};
        QTest::newRow("title 3") << texts::kStageTitles[3] << QList<int>{0x307E, 0x3060, 0x307E, 0x3060, 0x5B50, 0x4F9B};
        QTest::newRow("growth") << texts::kGrowthAfter
                                << QList<int>{0x300F, 0x3080, 0x306B, 0x307E, 0x308B, 0x306B, 0x3000, 0x6210,
                                              0x9577, 0x3057, 0x307E, 0x3057, 0x305F, 0x3002};
        QTest::newRow("speech 1") << texts::kSpeeches[1]
                                  << QList<int>{0x300C, 0x3061, 0x307F, 0x3061, 0x307F, 0x3061, 0x307F,
                                                0x3061, 0x307F, 0x30FB, 0x30FB, 0x30FB, 0x300D};
        QTest::newRow("speech 3") << texts::kSpeeches[3]
                                  << QList<int>{0x300C, 0x3089, 0x3044, 0x3070, 0x308B, 0x306F, 0x3000,
                                                0x3071, 0x3044, 0x306A, 0x3063, 0x3077, 0x308B, 0x300D};
        QTest::newRow("speech 4") << texts::kSpeeches[4]
                                  << QList<int>{0x300C, 0x3069, 0x3053, 0x307F, 0x3066, 0x308B, 0x306E,
                                                0x3088, 0x3045, 0x300D};
    }

    // The captions are compared code unit for code unit, and look-alike
    // characters (a wave dash for the tilde, a big い) would break a round.
    void fixedTextsByCodePoint()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, codePoints);
        QList<int> actual;
        for (QChar c : text)
            actual.append(c.unicode());
        QCOMPARE(actual, codePoints);
    }

    // A missing opening or stage-0 picture stops the game, naming the file.
    void missingRoundStartFilesAreFatal_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("opening text") << "opn.tad";
        QTest::newRow("stage-0 picture") << "0.dat";
        QTest::newRow("message table") << "muni.tad";
    }

    void missingRoundStartFilesAreFatal()
    {
        QFETCH(QString, file);
        MemoryPlatform platform;
        platform.addStandardData();
        platform.files.remove(platform.dir + file);
        platform.pictures.remove(platform.dir + file);
        Fom fom(platform);
        try {
            fom.LoadForm();
            fom.FormActivate();
            QFAIL("no error");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains(platform.dir + file), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestRoundStart)
#include "test_roundstart.moc"
