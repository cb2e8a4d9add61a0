/*
 * test_screens.cpp: the window and the problem box on screens they must
 * fit: a screen that changes size while a round runs, and a box listing
 * files too deep to open.
 */
#include "testing/windowgame.h"
#include "ui/layout.h"

#include <QDialog>
#include <QScreen>
#include <qpa/qwindowsysteminterface.h>

namespace {

// The primary screen takes a new size, as when a laptop is docked.
void resizeScreen(QSize size)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect rect(QPoint(0, 0), size);
    QWindowSystemInterface::handleScreenGeometryChange(screen, rect, rect);
    QCoreApplication::processEvents();
}

struct RoundState
{
    QString caption, ticks, message, picture;
    float level;
    int stage;
    bool running;
    bool operator==(const RoundState &) const = default;
};

RoundState roundState(const Fom &fom)
{
    return {fom.Com.Caption, fom.TimLbl.Caption, fom.LBl.Caption, fom.E.Picture,
            fom.ShpStr.Width, fom.Stage, fom.Tim.Enabled};
}

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { resizeScreen(QSize(1366, 768)); }

    // The screen shrinks and grows back in the middle of a round: each
    // time the window lays itself out for the new screen, wholly on it,
    // and the round goes on where it was.
    void aScreenThatChangesKeepsTheRound_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("800x600") << QSize(800, 600);
        QTest::newRow("portrait 600x1024") << QSize(600, 1024);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }

    void aScreenThatChangesKeepsTheRound()
    {
        QFETCH(QSize, size);
        resizeScreen(QSize(1366, 768));
        Game game;
        QCOMPARE(game.window.outerSide(), 691);
        game.click();
        for (int i = 0; i < 5; ++i)
            game.tick();
        game.click();
        const RoundState before = roundState(game.window.fom());
        QCOMPARE(before.caption, kWater);

        resizeScreen(size);
        const layout::Screen metrics = layout::screenOf(size, QGuiApplication::primaryScreen()->logicalDotsPerInchY());
        const int side = layout::outerSide(metrics);
        QCOMPARE(game.window.outerSide(), side);
        QCOMPARE(game.window.frameGeometry().size(), QSize(side, side));
        QVERIFY2(QRect(QPoint(0, 0), size).contains(game.window.frameGeometry()),
                 qPrintable(QStringLiteral("window at %1,%2").arg(game.window.x()).arg(game.window.y())));
        QCOMPARE(game.lbl()->font().pointSize(), layout::baseFontPoints(metrics));
        QVERIFY(roundState(game.window.fom()) == before);
        // The controls sit on the new grid.
        QCOMPARE(game.com()->geometry(), layout::place(QRect(QPoint(0, 0), game.window.size()), layout::kButton));

        resizeScreen(QSize(1366, 768));
        QCOMPARE(game.window.outerSide(), 691);
        QVERIFY(roundState(game.window.fom()) == before);
        game.tick();
        QCOMPARE(game.window.fom().TimLbl.Caption.toInt(), before.ticks.toInt() + 1);
    }

    // Thirteen files of a folder too deep for any of them to be opened:
    // the box says the reason once, keeps each file's name readable, and
    // stays on the screen, its button included.
    void deepPathsStayOnTheScreen()
    {
        const QString folder = QStringLiteral("/tmp/") + QString(4000, u'd') + QStringLiteral("/dat/");
        const QString reason = QStringLiteral("File name too long");
        QList<FatalError> problems;
        for (const QString &name : {QStringLiteral("opn.tad"), QStringLiteral("0.dat"), QStringLiteral("腐る.dat")})
            problems << FatalError(QStringLiteral("データファイル %1 を読めません（%2）。").arg(folder + name, reason),
                                   QStringLiteral("Cannot read the data file %1 (%2).").arg(folder + name, reason))
                                .refused(folder + name, reason);
        QString text;
        QRect box;
        whenModalOpens<QDialog>([&](QDialog *dialog) {
            text = dialog->findChild<QLabel *>(QStringLiteral("text"))->text();
            box = dialog->frameGeometry();
        });
        reportProblems(problems, nullptr);
        QVERIFY(!text.isEmpty());
        QCOMPARE(text.count(reason), 2); // once in Japanese, once in English
        QVERIFY(text.contains(QStringLiteral("腐る.dat")));
        QVERIFY2(box.width() <= QGuiApplication::primaryScreen()->availableGeometry().width(),
                 qPrintable(QStringLiteral("the box is %1 pixels wide").arg(box.width())));
    }
};

QTEST_MAIN(TestScreens)
#include "test_screens.moc"
