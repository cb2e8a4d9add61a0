/*
 * databench.cpp: pokotama-databench [--max-mib N], how reading text grows
 * with its size: decodes hostile text files of 1 MiB up to N (64, the most
 * the game reads, unless told), loads each as the message table, and prints
 * the time per byte, which should stay about the same as the file grows.
 */
#include "common/fatalerror.h"
#include "data/messagetable.h"
#include "data/textfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

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

    // Each shape is its start and a unit repeated to fill the size.
    const struct
    {
        const char *name;
        QByteArray start, unit;
    } shapes[] = {
        {"short lines", {}, "\x82\xa0\x82\xa2\x82\xa4\r\n"}, // あいう
        {"one long line", {}, "x"},
        {"empty lines", {}, "\r\n"},
        {"invalid bytes", {}, "\xff"},
        {"lead bytes before line ends", {}, "\x82\n"},
        {"UTF-8 after a byte-order mark", "\xef\xbb\xbf", "\xe3\x81\x82\n"},
        {"table of endless groups", {}, "message\r\n>\r\n"},
    };

    std::printf("%-32s %8s %10s %10s %12s\n", "shape", "MiB", "lines", "ms", "ns a byte");
    for (const auto &shape : shapes) {
        for (int mib = 1; mib <= maxMiB; mib *= 4) {
            const qsizetype size = qsizetype(mib) * 1024 * 1024 - shape.start.size();
            const QByteArray bytes = shape.start + shape.unit.repeated(size / shape.unit.size());
            QElapsedTimer clock;
            clock.start();
            const QStringList lines = data::decodeLines(bytes);
            try {
                data::loadMessageTable(lines, QStringLiteral("muni.tad"));
            } catch (const FatalError &) {
                // Most of these are no table; only the time counts here.
            }
            const qint64 ns = clock.nsecsElapsed();
            std::printf("%-32s %8d %10lld %10.1f %12.2f\n", shape.name, mib, qint64(lines.size()),
                        double(ns) / 1e6, double(ns) / double(bytes.size()));
            std::fflush(stdout);
            if (mib * 4 > maxMiB && mib < maxMiB)
                mib = maxMiB / 4; // end on the largest size asked for
        }
    }
    return 0;
}
