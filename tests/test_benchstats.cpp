/*
 * test_benchstats.cpp: how the benchmark reads the programs' lines, times
 * the growth clock against its schedule, and plays a round.
 */
#include "benchstats.h"
#include "fakeplatform.h"

#include <QTest>

#include <random>

namespace {

bench::Line startAt(std::int64_t ns)
{
    bench::Line line{};
    line.kind = bench::Line::Start;
    line.ns = ns;
    line.interval = 400;
    return line;
}

bench::Line tickAt(std::int64_t ns, int count, bool running = true)
{
    bench::Line line{};
    line.kind = bench::Line::Tick;
    line.ns = ns;
    line.count = count;
    line.interval = bench::firstRoundInterval(count);
    line.level = 300;
    line.running = running;
    return line;
}

// A first round whose ticks all come exactly on schedule, from start at t0.
std::vector<bench::Line> perfectRound(std::int64_t t0)
{
    std::vector<bench::Line> ticks;
    std::int64_t t = t0;
    for (int n = 1; n <= bench::kFirstRoundTicks; ++n) {
        t += std::int64_t(bench::firstRoundInterval(n)) * 1000000;
        ticks.push_back(tickAt(t, n, n < bench::kFirstRoundTicks));
    }
    return ticks;
}

constexpr std::int64_t kMs = 1000000;

} // namespace

class TestBenchStats : public QObject
{
    Q_OBJECT

private slots:
    // The lines of src/ui/benchlog.h, and nothing else on stderr.
    void readsTheProgramsLines()
    {
        auto frame = bench::parseLine("pokotama-bench frame 1514914088588");
        QVERIFY(frame);
        QCOMPARE(frame->kind, bench::Line::Frame);
        QCOMPARE(frame->ns, std::int64_t(1514914088588));

        auto start = bench::parseLine("pokotama-bench start 1516881584981 400");
        QVERIFY(start);
        QCOMPARE(start->kind, bench::Line::Start);
        QCOMPARE(start->interval, 400);

        auto tick = bench::parseLine("pokotama-bench tick 1517282793238 370 11 157 1");
        QVERIFY(tick);
        QCOMPARE(tick->kind, bench::Line::Tick);
        QCOMPARE(tick->ns, std::int64_t(1517282793238));
        QCOMPARE(tick->interval, 370);
        QCOMPARE(tick->count, 11);
        QCOMPARE(tick->level, 157.0);
        QVERIFY(tick->running);
        QVERIFY(!bench::parseLine("pokotama-bench tick 1 280 150 12 0")->running);
    }

    void ignoresOtherLines()
    {
        QVERIFY(!bench::parseLine("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'"));
        QVERIFY(!bench::parseLine(""));
        QVERIFY(!bench::parseLine("pokotama-bench"));
        QVERIFY(!bench::parseLine("pokotama-bench paint 12"));
        QVERIFY(!bench::parseLine("pokotama-bench frame"));
        QVERIFY(!bench::parseLine("pokotama-bench frame twelve"));
        QVERIFY(!bench::parseLine("pokotama-bench start 12"));
        QVERIFY(!bench::parseLine("pokotama-bench tick 12 400 1 220"));
        QVERIFY(!bench::parseLine("pokotama-bench tick 12 400 1 220 2"));
        QVERIFY(!bench::parseLine("pokotama-bench frame 12 13"));
        QVERIFY(!bench::parseLine("xpokotama-bench frame 12"));
    }

    // The first round's clock: 400 ms, 30 ms less after ticks 10, 30, 60 and
    // 100; 48 s from the start click to tick 150.
    void firstRoundSchedule()
    {
        const std::pair<int, int> expected[] = {{1, 400},  {10, 400},  {11, 370},  {30, 370},  {31, 340},
                                                {60, 340}, {61, 310}, {100, 310}, {101, 280}, {150, 280}};
        for (auto [tick, interval] : expected)
            QCOMPARE(bench::firstRoundInterval(tick), interval);
        QCOMPARE(bench::firstRoundScheduleMs(), 48000.0);
    }

    void roundOnScheduleHasNoDeviation()
    {
        const std::int64_t t0 = 5'000'000'000;
        const bench::TickStats stats = bench::tickStats(startAt(t0), perfectRound(t0));
        QCOMPARE(stats.ticks, 150);
        QVERIFY(stats.complete);
        QCOMPARE(stats.totalMs, 48000.0);
        QCOMPARE(stats.totalDeviationPct, 0.0);
        QCOMPARE(stats.meanAbsDeviationMs, 0.0);
        QCOMPARE(stats.maxLateMs, 0.0);
        QCOMPARE(stats.maxLateTick, 0);
        QCOMPARE(stats.intervalMismatches, 0);
    }

    // One late tick makes its period long and the next one short; the
    // round's total does not move, since the clock does not drift.
    void lateTickIsLateOnceAndEarlyOnce()
    {
        const std::int64_t t0 = 0;
        auto ticks = perfectRound(t0);
        ticks[41].ns += 6 * kMs; // tick 42
        const bench::TickStats stats = bench::tickStats(startAt(t0), ticks);
        QCOMPARE(stats.maxLateMs, 6.0);
        QCOMPARE(stats.maxLateTick, 42);
        QCOMPARE(stats.lateTicks, (std::vector<std::pair<int, double>>{{42, 6.0}}));
        QCOMPARE(stats.maxEarlyMs, 6.0);
        QCOMPARE(stats.meanDeviationMs, 0.0);
        QCOMPARE(stats.meanAbsDeviationMs, 12.0 / 150);
        QCOMPARE(stats.totalMs, 48000.0);
    }

    // A clock that restarts late at every stage-up drifts: each late start
    // carries into every tick after it, and into the round's total.
    void driftShowsInTheTotal()
    {
        const std::int64_t t0 = 0;
        auto ticks = perfectRound(t0);
        for (bench::Line &tick : ticks)
            for (int stageUp : {10, 30, 60, 100})
                if (tick.count > stageUp)
                    tick.ns += 60 * kMs;
        const bench::TickStats stats = bench::tickStats(startAt(t0), ticks);
        QCOMPARE(stats.maxLateMs, 60.0);
        QCOMPARE(stats.maxEarlyMs, 0.0);
        QCOMPARE(stats.totalMs, 48240.0);
        QCOMPARE(stats.totalDeviationPct, 0.5);
    }

    // Ticks at another interval than the schedule's are counted, and their
    // periods are held against the schedule, not against the game's word.
    void wrongIntervalIsCaught()
    {
        const std::int64_t t0 = 0;
        std::vector<bench::Line> ticks;
        for (int n = 1; n <= 12; ++n)
            ticks.push_back(tickAt(t0 + n * 400 * kMs, n));
        ticks[10].interval = 400; // tick 11 should come at 370
        ticks[11].interval = 400;
        const bench::TickStats stats = bench::tickStats(startAt(t0), ticks);
        QCOMPARE(stats.intervalMismatches, 2);
        QCOMPARE(stats.maxLateMs, 30.0);
        QVERIFY(!stats.complete);
    }

    // Only the round the start line began: nothing before it, and nothing
    // after the round ended or after a new round's count starts again.
    void onlyTheStartedRoundCounts()
    {
        const std::int64_t t0 = 10'000 * kMs;
        std::vector<bench::Line> ticks{tickAt(t0 - 100 * kMs, 7)};
        const auto round = perfectRound(t0);
        ticks.insert(ticks.end(), round.begin(), round.end());
        ticks.push_back(tickAt(t0 + 60'000 * kMs, 1));
        const bench::TickStats stats = bench::tickStats(startAt(t0), ticks);
        QCOMPARE(stats.ticks, 150);
        QVERIFY(stats.complete);
        QCOMPARE(stats.totalMs, 48000.0);
    }

    void witheredRoundIsNotComplete()
    {
        const std::int64_t t0 = 0;
        auto ticks = perfectRound(t0);
        ticks.resize(40);
        ticks.back().running = false;
        ticks.push_back(tickAt(ticks.back().ns + 340 * kMs, 41)); // cannot come
        const bench::TickStats stats = bench::tickStats(startAt(t0), ticks);
        QCOMPARE(stats.ticks, 40);
        QVERIFY(!stats.complete);
        QCOMPARE(stats.totalMs, 0.0);
    }

    // The benchmark's player never waters a gauge towards rot: even if every
    // watering gives the most, the level stays below 700.
    void playerNeverRisksRot()
    {
        for (int level = 0; level < 1000; ++level) {
            const int clicks = bench::wateringClicks(level);
            QVERIFY2(clicks >= 0, qPrintable(QString::number(level)));
            if (clicks > 0)
                QVERIFY2(level + 109 * clicks < 700, qPrintable(QString::number(level)));
        }
        QCOMPARE(bench::wateringClicks(400), 0);
        QCOMPARE(bench::wateringClicks(650), 0);
        QVERIFY(bench::wateringClicks(100) >= 4);
    }

    // Played by the real rules with random draws, the player brings every
    // round to the love ending: a benchmark round lasts its full 150 ticks.
    void playerReachesTheLoveEnding()
    {
        std::mt19937 random(7);
        const auto draw = [&random] { return float(random() >> 8) / 16777216.0f; };
        for (int round = 0; round < 300; ++round) {
            Game game;
            game.start();
            int ticks = 0;
            while (game.fom.Com.Caption == texts::kWater) {
                game.platform.draws = {draw()};
                game.fom.GrowthTick();
                ++ticks;
                if (game.fom.Com.Caption != texts::kWater)
                    break;
                for (int i = bench::wateringClicks(game.fom.ShpStr.Width); i > 0; --i) {
                    game.platform.draws = {draw(), draw(), draw()};
                    game.fom.ButtonClick();
                }
            }
            QVERIFY2(game.fom.Stage == 5, qPrintable(QStringLiteral("round %1 ended at tick %2 in stage %3")
                                                         .arg(round).arg(ticks).arg(game.fom.Stage)));
            QCOMPARE(ticks, 150);
        }
    }

    void median()
    {
        QCOMPARE(bench::median({}), 0.0);
        QCOMPARE(bench::median({3}), 3.0);
        QCOMPARE(bench::median({5, 1, 3}), 3.0);
        QCOMPARE(bench::median({4, 1, 3, 2}), 2.5);
    }

    // What /proc gives: a thread's schedstat, a process's status.
    void readsProc()
    {
        QCOMPARE(bench::schedstatRuntime("313951712 89805730 89\n"), std::optional<std::int64_t>(313951712));
        QVERIFY(!bench::schedstatRuntime(""));
        const std::string status = "Name:\tpokotama\nVmPeak:\t  812344 kB\nVmSize:\t  812340 kB\n"
                                   "VmHWM:\t   36864 kB\nVmRSS:\t   36012 kB\n";
        QCOMPARE(bench::peakResidentKb(status), std::optional<long>(36864));
        QVERIFY(!bench::peakResidentKb("Name:\tpokotama\nVmRSS:\t 1 kB\n"));
    }
};

QTEST_GUILESS_MAIN(TestBenchStats)
#include "test_benchstats.moc"
