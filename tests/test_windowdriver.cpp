/*
 * test_windowdriver.cpp: the real window and the event driver, given one
 * list of events, leave the game in the same state after each.
 *
 * The simulator, the soak, the fuzzer and most tests play through the
 * driver; only this test shows that the window hands the same events to
 * the same handlers: its clicks, timers and about box against the
 * driver's named events, on the same data folder and the same never-seeded
 * random numbers.
 */
#include "driver/driver.h"
#include "services/dataplatform.h"
#include "testing/player.h"
#include "testing/windowgame.h"

#include <QTest>

using driver::Event;

namespace {

// What the game shows and keeps, and what it asked the platform for. The
// animation frame is left out: the window's own animation clock runs in
// real time whenever a box's event loop does.
QString stateOf(const Fom &fom, std::int64_t draws, int abouts)
{
    return QStringLiteral("Com=%1 LBl=%2 TimLbl=%3 Stage=%4 GrowthStep=%5 Level=%6 Colour=%7 Tim=%8/%9 ImgTim=%10 "
                          "Picture=%11 Img=%12 draws=%13 abouts=%14")
        .arg(fom.Com.Caption, fom.LBl.Caption, fom.TimLbl.Caption)
        .arg(fom.Stage)
        .arg(fom.GrowthStep)
        .arg(double(fom.ShpStr.Width), 0, 'g', 9)
        .arg(fom.ShpStr.BackColor)
        .arg(int(fom.Tim.Enabled))
        .arg(fom.Tim.Interval)
        .arg(int(fom.ImgTim.Enabled))
        .arg(fom.E.Picture)
        .arg(int(fom.Img.Visible))
        .arg(draws)
        .arg(abouts);
}

// The same game twice: in its real window and through the driver.
struct Twins
{
    Game window;
    DataPlatform platform{kData};
    driver::Driver driven{platform};
    int sent = 0;

    Twins() { driven.send(Event::Load); }

    QString windowState() const
    {
        return stateOf(window.window.fom(), window.counted.draws(), window.counted.abouts());
    }
    QString driverState() const { return stateOf(driven.fom(), driven.draws(), driven.abouts()); }

    // One event to both; false if they then differ.
    bool send(Event event)
    {
        ++sent;
        // After an ending the window's button rests for a second; the
        // player waits it out, which the driver knows nothing of.
        if (event == Event::Click && window.caption() == kStartOver)
            window.endRest();
        switch (event) {
        case Event::Load:
            break;
        // A clock that stands fires nothing.
        case Event::Tick:
            if (window.tim()->isActive())
                window.tick();
            break;
        case Event::Frame:
            if (window.imgTim()->isActive())
                window.frame();
            break;
        case Event::Click:
            if (window.caption() == kStartOver)
                whenModalOpens([](QMessageBox *) {});
            window.click();
            break;
        case Event::About:
            whenModalOpens([](QMessageBox *) {});
            QTest::mouseClick(window.lbl(), Qt::LeftButton);
            break;
        }
        driven.send(event);
        return windowState() == driverState();
    }

    QString report(Event event) const
    {
        return QStringLiteral("after event %1 (%2):\nwindow %3\ndriver %4")
            .arg(sent)
            .arg(QString::fromLatin1(driver::nameOf(event)), windowState(), driverState());
    }
};

} // namespace

class TestWindowDriver : public QObject
{
    Q_OBJECT

private slots:
    // Start, ticks, waterings, frames and the about box, a round played to
    // each ending, a tick of the clock that stands, and a start over after
    // each rest.
    void oneListOfEventsGivesOneGame()
    {
        Twins twins;
        QCOMPARE(twins.windowState(), twins.driverState());
        QCOMPARE(twins.driven.fom().Com.Caption, kStart);

        const QList<Event> opening = {Event::Click, Event::Tick,  Event::Tick,  Event::Click, Event::Frame,
                                      Event::About, Event::Tick,  Event::Click, Event::Frame, Event::Tick,
                                      Event::About, Event::Click, Event::Tick};
        for (Event event : opening)
            QVERIFY2(twins.send(event), qPrintable(twins.report(event)));

        for (driver::Aim aim : {driver::Aim::Rot, driver::Aim::Wither, driver::Aim::Love}) {
            int moves = 0;
            while (twins.driven.fom().Com.Caption == kWater && moves++ < 2000) {
                const Event event = driver::nextMove(aim, twins.driven.fom().ShpStr.Width);
                QVERIFY2(twins.send(event), qPrintable(twins.report(event)));
            }
            QCOMPARE(twins.driven.fom().Com.Caption, kStartOver);
            // The growth clock stands at the ending.
            QVERIFY2(twins.send(Event::Tick), qPrintable(twins.report(Event::Tick)));
            // The start over (through the about box), then the next round's start.
            QVERIFY2(twins.send(Event::Click), qPrintable(twins.report(Event::Click)));
            QCOMPARE(twins.driven.fom().Com.Caption, kStart);
            QVERIFY2(twins.send(Event::Click), qPrintable(twins.report(Event::Click)));
        }
        QCOMPARE(twins.driven.abouts(), 5);
    }
};

QTEST_MAIN(TestWindowDriver)
#include "test_windowdriver.moc"
