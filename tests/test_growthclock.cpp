/*
 * test_growthclock.cpp: when the growth clock's next tick is due after a
 * stage-up sets a shorter period in the middle of its tick.
 */
#include "ui/growthclock.h"

#include <QTest>

class TestGrowthClock : public QObject
{
    Q_OBJECT

private slots:
    void remaining_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<qint64>("spentNs");
        QTest::addColumn<int>("period");
        QTest::newRow("set before any work") << 370 << qint64(0) << 370;
        QTest::newRow("just under half a millisecond") << 370 << qint64(499'999) << 370;
        QTest::newRow("half a millisecond rounds up") << 370 << qint64(500'000) << 369;
        QTest::newRow("2.5 ms") << 370 << qint64(2'500'000) << 367;
        QTest::newRow("a tick longer than the period") << 10 << qint64(20'000'000) << 0;
        QTest::newRow("exactly the period") << 280 << qint64(280'000'000) << 0;
        QTest::newRow("a clock that ran backwards") << 400 << qint64(-3'000'000) << 400;
    }

    // The new interval less the time the tick took, to the nearest
    // millisecond, never below 0.
    void remaining()
    {
        QFETCH(int, interval);
        QFETCH(qint64, spentNs);
        QFETCH(int, period);
        QCOMPARE(growthclock::remainingMs(interval, spentNs), period);
    }
};

QTEST_GUILESS_MAIN(TestGrowthClock)
#include "test_growthclock.moc"
