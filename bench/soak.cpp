/*
 * soak.cpp: pokotama-soak [--rounds N] [--seed S] [--data DIR], a long
 * session of random play: N rounds (a million unless told), each a random
 * mix of the window's events, some by a player who waters when the gauge
 * runs low, so every ending comes up and the growth clock reaches its
 * fastest. It checks the rules' promises (testing/rules.h) after every event
 * and at the end that memory stopped growing once warmed up.
 */
#include "common/fatalerror.h"
#include "data/datadir.h"
#include "driver/driver.h"
#include "game/texts.h"
#include "testing/memoryplatform.h"
#include "testing/player.h"
#include "testing/rules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace {

using driver::Event;

// This process's resident memory in KiB: "VmHWM:" its peak, "VmRSS:" now.
long memory(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = text.indexOf(field);
    return at < 0 ? 0 : std::strtol(text.constData() + at + qstrlen(field), nullptr, 10);
}

// How one round is played: how often each event comes, and for a careful
// player the level below which a watering is due (0: a careless player).
struct Style
{
    explicit Style(QRandomGenerator &r)
        : pick{double(r.bounded(1, 12)), double(r.bounded(1, 12)), double(r.bounded(0, 6)), double(r.bounded(0, 2))}
        , waterBelow(r.bounded(3) == 0 ? int(r.bounded(150, 560)) : 0)
    {
    }

    Event next(const Fom &fom, QRandomGenerator &random)
    {
        constexpr Event kPlayed[] = {Event::Tick, Event::Click, Event::Frame, Event::About};
        // The careful player ticks and waters by the gauge; frames and
        // about boxes still come as they fall.
        const Event event = kPlayed[pick(random)];
        if (waterBelow > 0 && (event == Event::Tick || event == Event::Click) && fom.Com.Caption == texts::kWater)
            return driver::nextMove(driver::Aim::Love, fom.ShpStr.Width, float(waterBelow));
        return event;
    }

    std::discrete_distribution<std::size_t> pick; // tick, click, frame, about by their weights
    int waterBelow;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), {}, QStringLiteral("N"), QStringLiteral("1000000"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), {}, QStringLiteral("S"), QStringLiteral("20261208"));
    const QCommandLineOption dataOption(QStringLiteral("data"), {}, QStringLiteral("DIR"));
    parser.addOptions({roundsOption, seedOption, dataOption});
    bool roundsOk = false;
    bool seedOk = false;
    const bool parsed = parser.parse(app.arguments()) && parser.positionalArguments().isEmpty();
    const qint64 rounds = parser.value(roundsOption).toLongLong(&roundsOk);
    const quint32 seed = parser.value(seedOption).toUInt(&seedOk);
    if (!parsed || !roundsOk || !seedOk || rounds < 1) {
        std::fprintf(stderr, "usage: pokotama-soak [--rounds N] [--seed S] [--data DIR]\n");
        return 2;
    }
    const QString dir = parser.isSet(dataOption) ? data::withTrailingSlash(parser.value(dataOption))
                                                 : data::resolveDataDir(QCoreApplication::applicationDirPath());

    try {
        // Read once, a million rounds measure the game and not the disk.
        MemoryPlatform cached;
        cached.readFolder(dir);
        driver::Driver game(cached);
        const Fom &fom = game.fom();
        driver::RuleCheck rules;
        QRandomGenerator random(seed);
        std::printf("pokotama-soak: %lld rounds, seed %u, data %s (read once)\n", rounds, seed, qPrintable(dir));
        std::fflush(stdout);

        const qint64 began = QDeadlineTimer::current().deadlineNSecs();
        std::map<Event, qint64> eventCounts;
        QHash<QString, qint64> endings;
        qint64 events = 0;
        qint64 finished = 0;
        qint64 roundsAtFloor = 0;
        long warmPeak = 0;
        const qint64 warmUpRounds = qBound(qint64(1), rounds / 100, qint64(10000));
        auto send = [&](Event event) {
            rules.before(game);
            game.send(event);
            if (const char *what = rules.after(game, event)) {
                std::fprintf(stderr, "pokotama-soak: event %lld (%s): %s\n  %s\n", events, driver::nameOf(event), what,
                             driver::stateLine(game).constData());
                std::exit(1);
            }
        };

        send(Event::Load);
        const long loadedPeak = memory("VmHWM:");
        Style style(random);
        while (finished < rounds) {
            const Event event = style.next(fom, random);
            const QString captionBefore = fom.Com.Caption;
            ++events;
            ++eventCounts[event];
            send(event);
            if (fom.Com.Caption == texts::kStartOver && captionBefore != texts::kStartOver)
                ++endings[fom.E.Picture];
            if (event == Event::Click && captionBefore == texts::kStartOver) {
                ++finished;
                roundsAtFloor += fom.Tim.Interval == 10;
                if (finished == warmUpRounds)
                    warmPeak = memory("VmHWM:");
                style = Style(random);
            }
        }

        const double seconds = double(QDeadlineTimer::current().deadlineNSecs() - began) / 1e9;
        const long endPeak = memory("VmHWM:");
        std::printf("rounds      %lld (%lld with the growth clock at its 10 ms floor)\n", finished, roundsAtFloor);
        std::printf("endings     love %lld, 枯れる %lld, 腐る %lld\n", endings.value(texts::kLove),
                    endings.value(texts::kWither), endings.value(texts::kRot));
        std::printf("events      %lld: tick %lld, click %lld, frame %lld, about %lld\n", events,
                    eventCounts[Event::Tick], eventCounts[Event::Click], eventCounts[Event::Frame],
                    eventCounts[Event::About]);
        std::printf("draws       %lld\n", qint64(game.draws()));
        std::printf("time        %.2f s, %.0f events/s, %.2f µs an event\n", seconds, double(events) / seconds,
                    seconds * 1e6 / double(events));
        std::printf("memory      peak RSS %ld KiB after loading, %ld KiB after %lld rounds, %ld KiB at the end "
                    "(now %ld KiB)\n",
                    loadedPeak, warmPeak, warmUpRounds, endPeak, memory("VmRSS:"));

        // A session that leaks grows with every round; a few hundred KiB of
        // allocator slack is not growth.
        if (POKOTAMA_SOAK_UNDER_ASAN) {
            std::printf("memory check skipped: AddressSanitizer holds freed memory back on purpose\n");
        } else if (finished > warmUpRounds && endPeak > warmPeak + 2048) {
            std::fprintf(stderr, "pokotama-soak: peak memory grew by %ld KiB after warming up\n", endPeak - warmPeak);
            return 1;
        }
        std::printf("all promises kept\n");
        return 0;
    } catch (const FatalError &error) {
        std::fprintf(stderr, "pokotama-soak: the game stopped on an error:\n%s\n", error.what());
        return 1;
    }
}
