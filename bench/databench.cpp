/*
 * databench.cpp: pokotama-databench [--max-mib N] [--repeat N], what reading
 * the data and looking at the machine cost; figures only, never a failure.
 * How reading text grows with its size: hostile text files of 1 MiB up to N
 * (64, the most the game reads) decoded and loaded as the message table,
 * the time per byte, which should stay about the same as the file grows.
 * What the look at the machine adds to the start, over N runs (200):
 * reading the command line (the game's plain start, no option), finding
 * the program's folder, and checking that a font draws the game's texts;
 * the game's face is loaded first, as the window loads it, and timed
 * apart, or the check's first run would pay for it. And what a screen
 * reader's arrival costs: the kana readings of every text the game can
 * say (the data folder's beside the program and its own words), the first
 * time with MeCab's dictionary loaded, and the memory that adds.
 */
#include "common/fatalerror.h"
#include "data/datadir.h"
#include "data/messagetable.h"
#include "data/textfile.h"
#include "game/texts.h"
#include "reading/readings.h"
#include "ui/announcer.h"
#include "ui/commandline.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontInfo>
#include <QFile>
#include <QFontMetrics>
#include <QRegularExpression>

#include <cstdio>
#include <tuple>

namespace {

// Prints the mean time of a step in microseconds, over repeat runs.
template <typename Step> void printTime(const char *what, int repeat, Step step)
{
    const qint64 began = QDeadlineTimer::current().deadlineNSecs();
    for (int i = 0; i < repeat; ++i)
        step();
    std::printf("%-36s%9.1f us\n", what, double(QDeadlineTimer::current().deadlineNSecs() - began) / 1000.0 / repeat);
}

// This process's resident memory in kB, from /proc.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s*(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char *name, int otherwise) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : otherwise;
    };
    const int maxMiB = option("--max-mib", int(data::kMaxDataFileBytes / (1024 * 1024)));
    const int repeat = qMax(1, option("--repeat", 200));

    // Each shape is its name, its start and a unit repeated to fill the size.
    const std::tuple<const char *, QByteArray, QByteArray> shapes[] = {
        {"short lines", {}, "\x82\xa0\x82\xa2\x82\xa4\r\n"}, // あいう
        {"one long line", {}, "x"},
        {"empty lines", {}, "\r\n"},
        {"invalid bytes", {}, "\xff"},
        {"lead bytes before line ends", {}, "\x82\n"},
        {"UTF-8 after a byte-order mark", "\xef\xbb\xbf", "\xe3\x81\x82\n"},
        {"table of endless groups", {}, "message\r\n>\r\n"},
    };

    std::printf("%-32s %8s %10s %10s %12s\n", "shape", "MiB", "lines", "ms", "ns a byte");
    for (const auto &[name, start, unit] : shapes) {
        for (int mib = 1; mib <= maxMiB; mib *= 4) {
            const qsizetype size = qsizetype(mib) * 1024 * 1024 - start.size();
            const QByteArray bytes = start + unit.repeated(size / unit.size());
            const qint64 began = QDeadlineTimer::current().deadlineNSecs();
            const QStringList lines = data::decodeLines(bytes);
            try {
                data::loadMessageTable(lines, QStringLiteral("muni.tad"));
            } catch (const FatalError &) {
                // Most of these are no table; only the time counts here.
            }
            const qint64 ns = QDeadlineTimer::current().deadlineNSecs() - began;
            std::printf("%-32s %8d %10lld %10.1f %12.2f\n", name, mib, qint64(lines.size()),
                        double(ns) / 1e6, double(ns) / double(bytes.size()));
            std::fflush(stdout);
            if (mib * 4 > maxMiB && mib < maxMiB)
                mib = maxMiB / 4; // end on the largest size asked for
        }
    }

    std::printf("\n");
    char *plain[] = {argv[0], nullptr};
    printTime("command line, first read", 1, [&] { (void)readCommandLine(1, plain); });
    printTime("command line, later reads", repeat, [&] { (void)readCommandLine(1, plain); });
    printTime("program folder from /proc/self/exe", repeat, [] { (void)data::programFolder(); });
    // The face at the message area's size, measured as the window's label
    // measures it on its first paint.
    printTime("game's face loaded (window's cost)", 1,
              [] { (void)QFontMetrics(gameFont(15, true)).horizontalAdvance(gameTexts()); });
    bool drawable = true;
    printTime("font check, first run", 1,
              [&] { drawable = undrawableCharacters(gameTexts(), gameFont(12, false)).isEmpty(); });
    printTime("font check, later runs", repeat, [] { (void)undrawableCharacters(gameTexts(), gameFont(12, false)); });
    std::printf("the game's face here: %s; its texts drawable: %s\n",
                qPrintable(QFontInfo(gameFont(15, false)).family()), drawable ? "yes" : "no");

    QStringList said = gameWords();
    try {
        const QString dir = data::resolveDataDir(data::programFolder());
        for (const QString &name : texts::kTextFiles)
            said << data::readTextFile(dir + name + texts::kTextSuffix);
    } catch (const FatalError &error) {
        std::printf("no data folder beside the program: %s\n", error.what());
    }
    const qint64 before = residentKiB();
    qint64 after = before;
    int analysed = 0;
    printTime("kana readings, dictionary loaded", 1, [&] {
        reading::Readings readings(true);
        readings.learn(said);
        analysed = readings.analysed();
        after = residentKiB();
    });
    printTime("kana readings, again", repeat, [&] { reading::Readings(true).learn(said); });
    std::printf("%d texts with kanji of %lld read; resident memory while read: +%.1f MB\n", analysed,
                qint64(said.size()), double(after - before) / 1024.0);
    return 0;
}
