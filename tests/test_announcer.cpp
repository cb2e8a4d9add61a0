/*
 * test_announcer.cpp: what a screen reader is told of each event. The news
 * worked out from the game's state before and after an event, and, in the
 * real window on Qt's offscreen platform, the notices (or, from Qt 6.8,
 * the announcements) that carry it: one per event, each keeping its own
 * text, the first round's held until the window is active, all in kana
 * unless the player turns the readings off.
 */
#include "ui/announcer.h"
#include "testing/readerlistening.h"
#include "testing/windowgame.h"

#include <QAccessible>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>

namespace {

const QString kOpening = QStringLiteral("\r\nようこそ\r\n\r\n「はじめぃ」を押してね");
const QString kLine = QStringLiteral("\r\n「むにゅ」");
const QString kGrowth = QStringLiteral("\r\n『幼いながらも』むにまるに　成長しました。\r\n「ちみちみちみちみ・・・」");
const QString kEnding = QStringLiteral("\r\nむにまるは　枯れてしまいました\r\nもういちど");

// Everything told to the reader, in order.
QStringList g_told;

void hear(QAccessibleEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement)
        g_told << static_cast<QAccessibleAnnouncementEvent *>(event)->message();
#else
    QAccessibleInterface *face = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && face && face->role() == QAccessible::Notification)
        g_told << face->text(QAccessible::Name);
#endif
}

// The texts as shown, and in kana.
const reading::Readings kShown(false);

const reading::Readings &kana()
{
    static reading::Readings readings(true);
    readings.learn(gameWords());
    return readings;
}

// A message of the data folder as the reader is told it: in kana.
QString said(const QString &message)
{
    reading::Readings readings(true);
    readings.learn(message.split(texts::kNewLine));
    return spokenMessage(message, readings);
}

// Nothing of the captions is told where the reader speaks them itself.
QStringList withCaption(const QString &news, const QString &caption)
{
    if (kReaderSpeaksCaptions)
        return news.isEmpty() ? QStringList() : QStringList{news};
    const QString spoken = kana().of(caption);
    return {news.isEmpty() ? spoken : news + QLatin1Char(' ') + spoken};
}

} // namespace

class TestAnnouncer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(listenAsReader(hear));
    }

    void init() { g_told.clear(); }

    // One row per kind of event: the state before and after, whether the
    // button was clicked, and the news with the captions and without.
    void theNews_data()
    {
        QTest::addColumn<Moment>("before");
        QTest::addColumn<Moment>("after");
        QTest::addColumn<bool>("clicked");
        QTest::addColumn<QString>("withCaptions");
        QTest::addColumn<QString>("withoutCaptions");
        const Moment design{kWater, QStringLiteral("Label1"), 0, colour::kRed};
        const Moment ready{kStart, kOpening, 0, colour::kRed};
        const Moment running{kWater, kOpening, 0, colour::kRed};
        const Moment watered{kWater, kLine, 0, colour::kRed};
        const QString opening = QStringLiteral("ようこそ 「はじめぃ」を押してね");

        QTest::newRow("the first round") << design << ready << false << opening + " はじめぃ" << opening;
        QTest::newRow("the start") << ready << running << true << kWater << QString();
        QTest::newRow("a watering") << running << watered << true << "「むにゅ」" << "「むにゅ」";
        QTest::newRow("the same line again") << watered << watered << true << "「むにゅ」" << "「むにゅ」";
        QTest::newRow("a watering's empty line") << watered << Moment{kWater, QStringLiteral("\r\n"), 0, colour::kRed}
                                                 << true << QString() << QString();
        QTest::newRow("a watering to yellow")
            << watered << Moment{kWater, kLine, 0, colour::kYellow} << true << "「むにゅ」 水の量 多すぎる（黄色）"
            << "「むにゅ」 水の量 多すぎる（黄色）";
        QTest::newRow("a quiet tick") << watered << watered << false << QString() << QString();
        QTest::newRow("a tick to blue") << watered << Moment{kWater, kLine, 0, colour::kBlue} << false
                                        << "水の量 少ない（青）" << "水の量 少ない（青）";
        QTest::newRow("a tick back to red") << Moment{kWater, kLine, 0, colour::kYellow} << watered << false
                                            << "水の量 ふつう（赤）" << "水の量 ふつう（赤）";
        const QString growth = QStringLiteral("『幼いながらも』むにまるに　成長しました。 「ちみちみちみちみ・・・」");
        QTest::newRow("a stage-up") << watered << Moment{kWater, kGrowth, 1, colour::kRed} << false << growth << growth;
        QTest::newRow("a stage-up to blue") << watered << Moment{kWater, kGrowth, 1, colour::kBlue} << false
                                            << growth + " 水の量 少ない（青）" << growth + " 水の量 少ない（青）";
        const QString ending = QStringLiteral("むにまるは　枯れてしまいました もういちど");
        QTest::newRow("an ending") << watered << Moment{kStartOver, kEnding, 0, colour::kBlue} << false << ending
                                   << ending;
        QTest::newRow("a click while the round is over")
            << Moment{kStartOver, kEnding, 0, colour::kBlue} << Moment{kStartOver, kEnding, 0, colour::kBlue} << true
            << QString() << QString();
        // The gauge turns red again with the new round; the opening says so.
        QTest::newRow("starting over") << Moment{kStartOver, kEnding, 0, colour::kBlue} << ready << true
                                       << opening + " はじめぃ" << opening;
    }

    void theNews()
    {
        QFETCH(Moment, before);
        QFETCH(Moment, after);
        QFETCH(bool, clicked);
        QTEST(news(before, after, clicked, kShown, true), "withCaptions");
        QTEST(news(before, after, clicked, kShown, false), "withoutCaptions");
    }

    // The same news in kana: the data folder's lines as read, the game's
    // own words from the start; kana stays as it is.
    void theNewsInKana_data()
    {
        QTest::addColumn<Moment>("before");
        QTest::addColumn<Moment>("after");
        QTest::addColumn<QString>("withCaptions");
        const Moment ready{kStart, kOpening, 0, colour::kRed};
        const Moment watered{kWater, kLine, 0, colour::kRed};
        QTest::newRow("the start") << ready << Moment{kWater, kOpening, 0, colour::kRed} << "みずをやる";
        QTest::newRow("a stage-up to blue")
            << watered << Moment{kWater, kGrowth, 1, colour::kBlue}
            << "『おさないながらも』むにまるに　せいちょうしました。 「ちみちみちみちみ・・・」 みずのりょう すくない（あお）";
        QTest::newRow("yellow") << watered << Moment{kWater, kLine, 0, colour::kYellow}
                                << "「むにゅ」 みずのりょう おおすぎる（きいろ）";
        QTest::newRow("an ending") << watered << Moment{kStartOver, kEnding, 0, colour::kBlue}
                                   << "むにまるは　かれてしまいました もういちど";
    }

    void theNewsInKana()
    {
        QFETCH(Moment, before);
        QFETCH(Moment, after);
        reading::Readings readings(true);
        readings.learn(gameWords());
        readings.learn(after.message.split(texts::kNewLine));
        QTEST(news(before, after, true, readings, true), "withCaptions");
        QCOMPARE(levelNews(ShapeState{0, 0, 504, 0, colour::kRed}, readings), QStringLiteral("みずのりょう 63% ふつう（あか）"));
    }

    // A whole round in the window: one utterance per event, in order, the
    // first round's opening told once the window is active, やりなおし～
    // once the button takes presses again.
    void aRoundInTheWindow()
    {
        Game game;
        const QString opening = said(game.window.fom().LBl.Caption);
        QCOMPARE(g_told, withCaption(opening, kStart));

        g_told.clear();
        game.click();
        QCOMPARE(g_told, withCaption(QString(), kWater));

        g_told.clear();
        game.click();
        QCOMPARE(g_told, QStringList{said(game.window.fom().LBl.Caption)});

        g_told.clear();
        game.tick();
        QVERIFY(g_told.isEmpty() || g_told.last().startsWith(QStringLiteral("みずのりょう")));

        while (game.window.fom().Stage == 0)
            game.play(driver::Aim::Love);
        QVERIFY(g_told.last().startsWith(said(game.window.fom().LBl.Caption)));

        g_told.clear();
        while (game.caption() == kWater)
            game.play(driver::Aim::Wither);
        QCOMPARE(g_told.last(), said(game.window.fom().LBl.Caption));
        const int atEnding = int(g_told.size());
        game.endRest();
        QCOMPARE(g_told.mid(atEnding), withCaption(QString(), kStartOver));
    }

    // L tells the level as a reader gives a progress bar's (in hundredths
    // of the gauge's length) and its colour, at any time of the round.
    void theLevelOnRequest()
    {
        QCOMPARE(levelNews(ShapeState{0, 0, 504, 0, colour::kRed}, kShown), QStringLiteral("水の量 63% ふつう（赤）"));
        QCOMPARE(levelNews(ShapeState{0, 0, 0, 0, colour::kBlue}, kShown), QStringLiteral("水の量 0% 少ない（青）"));
        Game game;
        game.click();
        game.click();
        g_told.clear();
        QTest::keyClick(&game.window, Qt::Key_L);
        QCOMPARE(g_told, QStringList{levelNews(game.window.fom().ShpStr, kana())});
        QCOMPARE(game.caption(), kWater);
        // Held down, L says it once.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, QStringLiteral("l"), true);
        QApplication::sendEvent(&game.window, &repeat);
        QCOMPARE(g_told.size(), 1);
    }

    // A session to each ending: nothing told has a kanji in it, while
    // the message area shows them. Turned off, the news is as shown.
    void toldInKana_data()
    {
        QTest::addColumn<QByteArray>("readings");
        QTest::newRow("on") << QByteArray();
        QTest::newRow("off") << QByteArray("off");
    }

    void toldInKana()
    {
        QFETCH(QByteArray, readings);
        qputenv("POKOTAMA_READINGS", readings);
        const auto restore = qScopeGuard([] { qunsetenv("POKOTAMA_READINGS"); });
        Game game;
        QStringList shown{game.window.fom().LBl.Caption};
        for (const driver::Aim aim : {driver::Aim::Love, driver::Aim::Wither, driver::Aim::Rot}) {
            game.click();
            while (game.caption() == kWater) {
                game.play(aim);
                shown << game.window.fom().LBl.Caption;
            }
            game.endRest();
            whenModalOpens([](QMessageBox *) {});
            game.click();
            shown << game.window.fom().LBl.Caption;
        }
        // Kanji: the unified ideographs, their extension A and 々.
        const QRegularExpression kanji(QStringLiteral("[\\x{3400}-\\x{9FFF}\\x{3005}]"));
        QVERIFY(shown.filter(kanji).size() > 3);
        const QStringList toldKanji = g_told.filter(kanji);
        if (readings.isEmpty())
            QVERIFY2(toldKanji.isEmpty(), qPrintable(toldKanji.join(QLatin1Char('\n'))));
        else
            QVERIFY(toldKanji.size() > 3);
    }

    // A reader that falls behind finds each notice's own text: the notices
    // take turns, and the 32nd after one is the first to be used again.
    void noticesKeepTheirText()
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QSKIP("From Qt 6.8 the news goes out as announcements");
#else
        QWidget window;
        window.show();
        reading::Readings readings;
        Announcer announcer(&window, readings);
        announcer.windowActivated();
        QStringList said;
        for (int i = 0; i < 33; ++i) {
            said << QString::number(i);
            announcer.say(said.last());
        }
        QCOMPARE(g_told, said);
        QStringList kept;
        for (QWidget *notice : window.findChildren<QWidget *>(QStringLiteral("Notice")))
            kept << notice->accessibleName();
        QCOMPARE(kept.size(), 32);
        QCOMPARE(kept.first(), QStringLiteral("32"));
        QCOMPARE(kept.mid(1), said.mid(1, 31));
#endif
    }

    // Orca takes identical announcements waiting in its queue for one: a
    // line said again is told apart by what no voice speaks.
    void repeatsStayApart()
    {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        QSKIP("Before Qt 6.8 each news has a notice of its own");
#else
        QWidget window;
        window.show();
        reading::Readings readings;
        Announcer announcer(&window, readings);
        announcer.windowActivated();
        const QStringList said{QStringLiteral("「ぽこっ」"), QStringLiteral("「むにゅ」"), QStringLiteral("「ぽこっ」"),
                               QStringLiteral("「ぽこっ」")};
        for (const QString &text : said)
            announcer.say(text);
        QCOMPARE(QSet<QString>(g_told.cbegin(), g_told.cend()).size(), said.size());
        for (qsizetype i = 0; i < said.size(); ++i)
            QCOMPARE(g_told[i].trimmed(), said[i]);
#endif
    }

    // Before the window's first activation the news since the last round
    // start waits, and comes out once, whole; later activations tell
    // nothing again.
    void heldUntilActive()
    {
        QWidget window;
        window.show();
        reading::Readings readings;
        Announcer announcer(&window, readings);
        announcer.say(QStringLiteral("いつかのラウンド"));
        announcer.say(QStringLiteral("ようこそ"), true);
        announcer.say(QString());
        // Worked out only as it is told, when its readings can be made.
        int workedOut = 0;
        announcer.say([&] {
            ++workedOut;
            return QStringLiteral("はじめぃ");
        });
        QVERIFY(g_told.isEmpty());
        QCOMPARE(workedOut, 0);
        announcer.windowActivated();
        QCOMPARE(workedOut, 1);
        QCOMPARE(g_told, QStringList{QStringLiteral("ようこそ はじめぃ")});
        announcer.windowActivated();
        QCOMPARE(g_told.size(), 1);
    }
};

QTEST_MAIN(TestAnnouncer)
#include "test_announcer.moc"
