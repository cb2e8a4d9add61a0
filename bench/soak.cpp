/*
 * soak.cpp: pokotama-soak, a long session of random play.
 *
 *   pokotama-soak [--rounds N] [--seed S] [--data DIR] [--uncached]
 *
 * Plays N rounds (a million unless told) in one session of the game, as
 * the window would drive it: random mixes of growth ticks, button clicks,
 * animation frames and clicks on the message area, each round with its
 * own mix, some rounds played by a player who waters whenever the gauge
 * runs low, so that every ending comes up and the growth clock soon runs
 * at its fastest. After every event it checks what the rules promise
 * (testing/rules.h), and at the end that the session's memory did not
 * grow once it had warmed up.
 *
 * It prints its figures (rounds, events, endings, time, peak memory at
 * the start and at the end) and exits with status 1 at the first broken
 * promise. The data files are read once and kept, unless --uncached asks
 * for the game's own platform, which reads them again at every use.
 */
#include "common/fatalerror.h"
#include "data/datadir.h"
#include "driver/driver.h"
#include "game/fom.h"
#include "game/texts.h"
#include "services/dataplatform.h"
#include "testing/memoryplatform.h"
#include "testing/player.h"
#include "testing/rules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

// Resident memory of this process now and at its peak, in KiB, from /proc.
struct Memory
{
    long current = 0;
    long peak = 0;
};

Memory memory()
{
    Memory m;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return m;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            m.current = line.mid(6).trimmed().split(' ').value(0).toLong();
        else if (line.startsWith("VmHWM:"))
            m.peak = line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return m;
}

constexpr bool kUnderAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

using driver::Event;

// The events a round is played with, and how often each comes.
constexpr std::array<Event, 4> kPlayed = {Event::Tick, Event::Click, Event::Frame, Event::About};

// How one round is played: weights of the four events, and for a careful
// player the level below which a watering is due instead of a tick.
struct Style
{
    std::array<int, kPlayed.size()> weights{};
    int waterBelow = 0; // 0: a careless player
};

Style randomStyle(QRandomGenerator &random)
{
    Style style;
    style.weights = {int(random.bounded(1, 12)), int(random.bounded(1, 12)), int(random.bounded(0, 6)),
                     int(random.bounded(0, 2))};
    if (random.bounded(3) == 0)
        style.waterBelow = int(random.bounded(150, 560));
    return style;
}

Event nextEvent(const Style &style, const Fom &fom, QRandomGenerator &random)
{
    int total = 0;
    for (int weight : style.weights)
        total += weight;
    int pick = int(random.bounded(total));
    Event event = Event::Tick;
    for (std::size_t kind = 0; kind < kPlayed.size(); ++kind) {
        if (pick < style.weights[kind]) {
            event = kPlayed[kind];
            break;
        }
        pick -= style.weights[kind];
    }
    // The careful player ticks and waters by the gauge (frames and about
    // boxes still come as they fall).
    if (style.waterBelow > 0 && (event == Event::Tick || event == Event::Click) && fom.Com.Caption == texts::kWater)
        event = driver::nextMove(driver::Aim::Love, fom.ShpStr.Width, float(style.waterBelow));
    return event;
}

[[noreturn]] void broken(std::int64_t eventNumber, Event event, const driver::Driver &game, const char *what)
{
    const Fom &fom = game.fom();
    std::fprintf(stderr,
                 "pokotama-soak: event %lld (%s): %s\n"
                 "  Com=%s Stage=%d GrowthStep=%d Level=%g TimLbl=%s TimInterval=%d TimEnabled=%d Draws=%lld\n",
                 static_cast<long long>(eventNumber), driver::nameOf(event), what, qPrintable(fom.Com.Caption),
                 fom.Stage, fom.GrowthStep, double(fom.ShpStr.Width), qPrintable(fom.TimLbl.Caption),
                 fom.Tim.Interval, int(fom.Tim.Enabled), static_cast<long long>(game.draws()));
    std::exit(1);
}

int usage(const char *why)
{
    std::fprintf(stderr, "pokotama-soak: %s\nusage: pokotama-soak [--rounds N] [--seed S] [--data DIR] [--uncached]\n",
                 why);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    qint64 rounds = 1000000;
    quint32 seed = 20261208;
    QString dataDir;
    bool uncached = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = args[++i].toLongLong(&ok);
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toUInt(&ok);
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else if (args[i] == QLatin1String("--uncached"))
            uncached = true;
        else
            return usage("unknown argument");
        if (!ok || rounds < 1)
            return usage("bad number");
    }
    const QString dir = dataDir.isEmpty() ? data::resolveDataDir(QCoreApplication::applicationDirPath())
                                          : data::withTrailingSlash(dataDir);

    // Read once, a million rounds measure the game and not the disk.
    MemoryPlatform cached;
    DataPlatform real(dir);
    try {
        if (!uncached)
            cached.readFolder(dir);
    } catch (const FatalError &error) {
        std::fprintf(stderr, "pokotama-soak: the game stopped on an error:\n%s\n", error.what());
        return 1;
    }
    driver::Driver game(uncached ? static_cast<Platform &>(real) : cached);
    driver::RuleCheck rules;
    QRandomGenerator random(seed);

    std::printf("pokotama-soak: %lld rounds, seed %u, data %s%s\n", static_cast<long long>(rounds), seed,
                qPrintable(dir), uncached ? " (read at every use)" : " (read once)");
    std::fflush(stdout);

    QElapsedTimer clock;
    clock.start();
    std::map<Event, std::int64_t> eventCounts;
    QHash<QString, std::int64_t> endings;
    std::int64_t events = 0;
    qint64 finished = 0;
    qint64 roundsAtFloor = 0;
    Memory loaded;
    Memory warm;
    const qint64 warmUpRounds = std::max<qint64>(1, std::min<qint64>(rounds / 100, 10000));

    try {
        rules.before(game);
        game.send(Event::Load);
        if (const char *what = rules.after(game, Event::Load))
            broken(0, Event::Load, game, what);
        loaded = memory();
        const Fom &fom = game.fom();
        Style style = randomStyle(random);
        while (finished < rounds) {
            const Event event = nextEvent(style, fom, random);
            const QString captionBefore = fom.Com.Caption;
            ++events;
            ++eventCounts[event];

            rules.before(game);
            game.send(event);
            if (const char *what = rules.after(game, event))
                broken(events, event, game, what);

            const QString &caption = fom.Com.Caption;
            if (caption == texts::kStartOver && captionBefore != texts::kStartOver)
                ++endings[fom.E.Picture];
            if (event == Event::Click && captionBefore == texts::kStartOver) {
                ++finished;
                if (fom.Tim.Interval == 10)
                    ++roundsAtFloor;
                if (finished == warmUpRounds)
                    warm = memory();
                style = randomStyle(random);
            }
        }
    } catch (const FatalError &error) {
        std::fprintf(stderr, "pokotama-soak: the game stopped on an error:\n%s\n", error.what());
        return 1;
    }

    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const Memory end = memory();
    std::printf("rounds      %lld (%lld with the growth clock at its 10 ms floor)\n", static_cast<long long>(finished),
                static_cast<long long>(roundsAtFloor));
    std::printf("endings     love %lld, 枯れる %lld, 腐る %lld\n", static_cast<long long>(endings.value(texts::kLove)),
                static_cast<long long>(endings.value(texts::kWither)),
                static_cast<long long>(endings.value(texts::kRot)));
    std::printf("events      %lld: tick %lld, click %lld, frame %lld, about %lld\n", static_cast<long long>(events),
                static_cast<long long>(eventCounts[Event::Tick]), static_cast<long long>(eventCounts[Event::Click]),
                static_cast<long long>(eventCounts[Event::Frame]), static_cast<long long>(eventCounts[Event::About]));
    std::printf("draws       %lld\n", static_cast<long long>(game.draws()));
    std::printf("time        %.2f s, %.0f events/s, %.2f µs an event\n", seconds, double(events) / seconds,
                seconds * 1e6 / double(events));
    std::printf("memory      peak RSS %ld KiB after loading, %ld KiB after %lld rounds, %ld KiB at the end "
                "(now %ld KiB)\n",
                loaded.peak, warm.peak, static_cast<long long>(warmUpRounds), end.peak, end.current);

    // A session that leaks grows with every round; a few hundred KiB of
    // allocator slack is not growth.
    constexpr long kSlackKiB = 2048;
    if (kUnderAddressSanitizer) {
        std::printf("memory check skipped: AddressSanitizer holds freed memory back on purpose\n");
    } else if (finished > warmUpRounds && end.peak > warm.peak + kSlackKiB) {
        std::fprintf(stderr, "pokotama-soak: peak memory grew by %ld KiB after warming up\n", end.peak - warm.peak);
        return 1;
    }
    std::printf("all promises kept\n");
    return 0;
}
