/*
 * test_endings.cpp: how a round ends, and what stays on the screen.
 */
#include "testing/memoryplatform.h"

#include <QTest>

class TestEndings : public QObject
{
    Q_OBJECT

private slots:
    void endingShowsItsFiles_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("text");
        QTest::newRow("love") << texts::kLove << QStringLiteral("\r\nlove 1\r\nlove 2");
        QTest::newRow("wither") << texts::kWither << QStringLiteral("\r\nwither 1");
        QTest::newRow("rot, with a blank line") << texts::kRot << QStringLiteral("\r\nrot 1\r\n\r\nrot 3");
    }

    // An ending shows its picture and replaces the message area with its
    // text, stops the growth clock and offers to start over; the stage, the
    // tick count and the bar stay as they were.
    void endingShowsItsFiles()
    {
        QFETCH(QString, ending);
        QFETCH(QString, text);
        Game game;
        game.start();
        game.tick(25);
        game.fom.ShpStr.BackColor = colour::kYellow;
        game.fom.EndRound(ending);
        QCOMPARE(game.platform.lastPicture(), game.path(ending + ".dat"));
        QCOMPARE(game.fom.E.Picture, ending);
        QCOMPARE(game.fom.LBl.Caption, text);
        QVERIFY(!game.fom.Tim.Enabled);
        QVERIFY(game.fom.ImgTim.Enabled);
        QCOMPARE(game.fom.Com.Caption, texts::kStartOver);
        QCOMPARE(game.fom.ShpStr.Width, 275.0f);
        QCOMPARE(game.fom.ShpStr.BackColor, colour::kYellow);
        QCOMPARE(game.fom.TimLbl.Caption, QStringLiteral("1"));
        QCOMPARE(game.fom.Stage, qint16(0));
    }

    // An empty ending text leaves the message area empty.
    void emptyEndingText()
    {
        Game game;
        game.platform.addText("love", {});
        game.fom.EndRound(texts::kLove);
        QCOMPARE(game.fom.LBl.Caption, QString());
    }

    // A missing ending file stops the game, naming it.
    void missingEndingFilesAreFatal_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("picture") << QStringLiteral("腐る.dat");
        QTest::newRow("text") << QStringLiteral("腐る.tad");
    }

    void missingEndingFilesAreFatal()
    {
        QFETCH(QString, file);
        Game game;
        game.platform.files.remove(game.path(file));
        game.platform.pictures.remove(game.path(file));
        game.start();
        game.fom.ShpStr.Width = 990;
        try {
            game.water(20, 0);
            QFAIL("no error");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains(game.path(file)), qPrintable(error.message()));
        }
    }

    // The wiggle runs in every state: frames alternate 1, 2, 1, ... and a
    // round start makes frame 2 the next one.
    void wiggleAlternatesInEveryState()
    {
        Game game;
        QList<int> frames;
        for (int i = 0; i < 3; ++i) {
            game.fom.WiggleTick();
            frames.append(game.fom.WiggleFrame);
        }
        game.fom.EndRound(texts::kLove);
        game.fom.WiggleTick();
        frames.append(game.fom.WiggleFrame);
        game.fom.ButtonClick(); // start over: frame 1, so 2 comes next
        game.fom.WiggleTick();
        frames.append(game.fom.WiggleFrame);
        QCOMPARE(frames, (QList<int>{2, 1, 2, 1, 2}));
    }
};

QTEST_GUILESS_MAIN(TestEndings)
#include "test_endings.moc"
