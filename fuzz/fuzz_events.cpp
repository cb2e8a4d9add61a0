/*
 * fuzz_events.cpp: libFuzzer target that plays whole sessions of the game.
 *
 * Every input is a message table and a stream of events: its first two
 * bytes give the table's length (little-endian, cut to what follows), the
 * table's bytes come next, as muni.tad holds them, and every byte after
 * them is one event: 0 to 3 a tick, 4 and 5 a click on the button, 6 a
 * frame, 7 the message area (by the byte's lowest three bits). The game
 * is loaded first and then gets the events through the same driver the
 * simulator uses, over the tests' data folder in memory, whose other
 * texts and pictures are always there. After every event it checks the rules'
 * promises (testing/rules.h), and that a watering that did not rot
 * shows one of the first ten lines of the stage's group. A table that
 * cannot load must stop the game at load with an error naming it; no
 * other error may come.
 */
#include "common/fatalerror.h"
#include "data/textfile.h"
#include "driver/driver.h"
#include "game/texts.h"
#include "testing/memoryplatform.h"
#include "testing/rules.h"

#include <QByteArrayView>
#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, std::size_t event)
{
    std::fprintf(stderr, "fuzz_events: event %zu: %s\n", event, what);
    std::abort();
}

driver::Event eventOf(std::uint8_t byte)
{
    switch (byte & 7) {
    case 4:
    case 5:
        return driver::Event::Click;
    case 6:
        return driver::Event::Frame;
    case 7:
        return driver::Event::About;
    default:
        return driver::Event::Tick;
    }
}

// A watering that did not rot shows an empty line, then line 0 to 9 of the
// stage's group.
bool showsAGroupLine(const Fom &fom)
{
    for (int line = 0; line < 10; ++line)
        if (fom.LBl.Caption == texts::kNewLine + fom.StageMsg[fom.Stage][line])
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t tableSize = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
    const std::uint8_t *events = data + 2 + tableSize;
    const std::size_t eventCount = size - 2 - tableSize;

    MemoryPlatform platform;
    platform.addStandardData();
    driver::Driver game(platform);
    driver::RuleCheck rules;
    const QString table = platform.dir + texts::kMessages + texts::kTextSuffix;
    try {
        platform.files[table] = data::decodeLines(QByteArrayView(data + 2, qsizetype(tableSize)));
        rules.before(game);
        game.send(driver::Event::Load);
    } catch (const FatalError &error) {
        if (!error.english().startsWith(QStringLiteral("Message table ") + table + QStringLiteral(", line ")))
            fail("loading stopped on something else than a table naming itself and its line", 0);
        return 0;
    }
    if (const char *what = rules.after(game, driver::Event::Load))
        fail(what, 0);

    for (std::size_t i = 0; i < eventCount; ++i) {
        const driver::Event event = eventOf(events[i]);
        const bool watering = event == driver::Event::Click && game.fom().Com.Caption == texts::kWater;
        rules.before(game);
        try {
            game.send(event);
        } catch (const FatalError &error) {
            fail(error.what(), i + 1);
        }
        if (const char *what = rules.after(game, event))
            fail(what, i + 1);
        if (watering && game.fom().Com.Caption == texts::kWater && !showsAGroupLine(game.fom()))
            fail("a watering shows no line of the stage's group", i + 1);
    }
    return 0;
}
