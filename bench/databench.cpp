/*
 * databench.cpp: pokotama-databench, how reading text grows with its size.
 *
 *   pokotama-databench [--max-mib N]
 *
 * Decodes hostile text files of 1 MiB up to N MiB (64, the largest data
 * file the game reads, unless told) and loads each as the message table,
 * printing the time per byte for each shape of file. Reading must be
 * linear: the time per byte stays about the same as the file grows. It
 * prints figures and never fails for being slow.
 */
#include "common/fatalerror.h"
#include "data/messagetable.h"
#include "data/textfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace {

// size bytes made of unit over and over.
QByteArray repeated(const QByteArray &unit, qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() + unit.size() <= size)
        bytes += unit;
    return bytes;
}

struct Shape
{
    const char *name;
    std::function<QByteArray(qsizetype)> make;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int maxMiB = int(data::kMaxDataFileBytes / (1024 * 1024));
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--max-mib"))
        maxMiB = args[2].toInt();
    else if (args.size() != 1) {
        std::fprintf(stderr, "usage: pokotama-databench [--max-mib N]\n");
        return 2;
    }

    const QByteArray kana = QByteArray("\x82\xa0\x82\xa2\x82\xa4\r\n"); // あいう
    const Shape shapes[] = {
        {"short lines", [&](qsizetype n) { return repeated(kana, n); }},
        {"one long line", [](qsizetype n) { return QByteArray(n, 'x'); }},
        {"empty lines", [](qsizetype n) { return repeated("\r\n", n); }},
        {"invalid bytes", [](qsizetype n) { return QByteArray(n, '\xff'); }},
        {"lead bytes before line ends", [](qsizetype n) { return repeated("\x82\n", n); }},
        {"UTF-8 after a byte-order mark", [](qsizetype n) { return "\xef\xbb\xbf" + repeated("\xe3\x81\x82\n", n - 3); }},
        {"table of endless groups", [](qsizetype n) { return repeated("message\r\n>\r\n", n); }},
    };

    std::printf("%-32s %8s %10s %10s %12s\n", "shape", "MiB", "lines", "ms", "ns a byte");
    for (const Shape &shape : shapes) {
        for (int mib = 1; mib <= maxMiB; mib *= 4) {
            const QByteArray bytes = shape.make(qsizetype(mib) * 1024 * 1024);
            QElapsedTimer clock;
            clock.start();
            const QStringList lines = data::decodeLines(bytes);
            try {
                data::loadMessageTable(lines, QStringLiteral("muni.tad"));
            } catch (const FatalError &) {
                // Most of these are no table; only the time counts here.
            }
            const qint64 ns = clock.nsecsElapsed();
            std::printf("%-32s %8d %10lld %10.1f %12.2f\n", shape.name, mib, static_cast<long long>(lines.size()),
                        double(ns) / 1e6, double(ns) / double(bytes.size()));
            std::fflush(stdout);
            if (mib * 4 > maxMiB && mib < maxMiB)
                mib = maxMiB / 4; // end on the largest size asked for
        }
    }
    return 0;
}
