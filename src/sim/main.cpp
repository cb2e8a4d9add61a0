/*
 * main.cpp: pokotama-sim, the game without a window.
 *
 *   pokotama-sim [--data DIR] < events
 *
 * Reads one event a line: load (the window opens: LoadForm, then the first
 * showing), tick (the growth clock fired), frame (the animation clock
 * fired), click (the button), about (the message area). Blank lines are
 * skipped; load comes first and once. After each event it prints the game's
 * state as one line of JSON. The about box closes itself at once.
 *
 * Exit status: 0 at the end of input, 1 when the game stops on an error
 * (the message goes to stderr, no line is printed for that event), 2 for
 * a bad command line or an unknown event.
 */
#include "common/fatalerror.h"
#include "driver/driver.h"
#include "services/dataplatform.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

int usage(const QByteArray &why)
{
    std::fprintf(stderr, "pokotama-sim: %s\nusage: pokotama-sim [--data DIR] < events\n", why.constData());
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QString dataDir;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else
            return usage("unknown argument");
    }

    // No about box: the driver's closes at once.
    DataPlatform platform(dataDir);
    driver::Driver game(platform);
    bool loaded = false;

    std::string line;
    while (std::getline(std::cin, line)) {
        const QString name = QString::fromStdString(line).trimmed();
        if (name.isEmpty())
            continue;
        const std::optional<driver::Event> event = driver::eventNamed(name);
        // load must come first and only once: a load once loaded is as
        // wrong as any other event before it.
        if ((event == driver::Event::Load) == loaded)
            return usage(loaded ? QByteArray("\"load\" comes only once")
                                : "the first event must be \"load\", not \"" + name.toUtf8() + '"');
        if (!event)
            return usage("unknown event \"" + name.toUtf8() + '"');
        try {
            game.send(*event);
            loaded = true;
        } catch (const FatalError &error) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        std::printf("%s\n", driver::stateLine(game).constData());
        std::fflush(stdout);
    }
    return 0;
}
