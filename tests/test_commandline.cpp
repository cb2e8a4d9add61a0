/*
 * test_commandline.cpp: the real program's command line, run with no
 * screen named at all: --check over content folders broken in every way
 * the game knows, the questions and mistakes, and --data played on Qt's
 * offscreen platform.
 */
#include "testing/forgedpng.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QString kGame = QStringLiteral(POKOTAMA_GAME);
const QString kData = QStringLiteral(POKOTAMA_DATA "/");

struct Run
{
    int status = -1;
    QStringList out, err;
};

QStringList linesOf(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
}

// The environment of a terminal with no screen: --check and the questions need none.
QProcessEnvironment noScreen(bool japaneseFont = true)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (!japaneseFont)
        env.insert(QStringLiteral("FONTCONFIG_FILE"), QStringLiteral(POKOTAMA_FONTS_DEJAVU));
    return env;
}

Run run(const QStringList &arguments, const QProcessEnvironment &env = noScreen(), const QString &game = kGame)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(game, arguments);
    Run result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result = {process.exitCode(), linesOf(process.readAllStandardOutput()),
                  linesOf(process.readAllStandardError())};
    return result;
}

// A copy of the shipped data folder to spoil; its path ends in a slash.
QString copyOfData(const QTemporaryDir &dir)
{
    const QString copy = dir.path() + "/mydat/";
    QDir().mkpath(copy);
    for (const QString &name : QDir(kData).entryList(QDir::Files))
        QFile::copy(kData + name, copy + name);
    return copy;
}

// Replaces the file at path by bytes; "KEEP" keeps it, "CUT" cuts it to
// its first half, and "-" (none), "DIR", "FIFO" and "HUGE" put no file, a
// folder, a named pipe or a sparse file just over the game's limit in its place.
bool spoil(const QString &path, QByteArray bytes)
{
    if (bytes == "KEEP")
        return true;
    QFile file(path);
    if (bytes == "CUT" && file.open(QIODevice::ReadOnly))
        bytes = file.readAll().chopped(file.size() / 2);
    file.close();
    QFile::remove(path);
    if (bytes == "-")
        return true;
    if (bytes == "DIR")
        return QDir().mkdir(path);
    if (bytes == "FIFO")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (bytes == "HUGE")
        return file.open(QIODevice::WriteOnly) && file.resize(64 * 1024 * 1024 + 1);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A line's width in the message area's face at the smallest screen,
// measured here on its own: IPA's proportional Gothic, bold italic, 20 pixels.
QString width(const QString &line)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(20);
    font.setBold(true);
    font.setItalic(true);
    return QString::number(QFontMetrics(font).horizontalAdvance(line));
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void checkListsEveryProblem_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("said"); // every line about the file; DIR/ is the folder
        const QString sjis = "read as Shift-JIS (code page 932), ";
        const QByteArray wide = QByteArray("\x82\xA0").repeated(40); // あ in code page 932
        const QString tooWide = ": the line is " + width(QStringLiteral("あ").repeated(40))
                                + " pixels wide; the message area takes 640 at the smallest screen.";
        const QString noChar = ": bytes that are no character of the file's encoding (shown as \uFFFD).";
        const auto row = [](const char *name, const QString &file, const QByteArray &bytes, const QStringList &said) {
            QTest::newRow(name) << file << bytes << said;
        };
        row("good", "opn.tad", "KEEP", {"DIR/opn.tad: " + sjis + "CR LF line ends, 4 lines"});
        row("picture missing", "love.dat", "-", {"DIR/love.dat:1: the file is missing."});
        row("folder for a file", "枯れる.tad", "DIR", {"DIR/枯れる.tad:1: this is a folder, not a file."});
        row("named pipe", "0.dat", "FIFO", {"DIR/0.dat:1: this is not a regular file."});
        row("too large", "1.dat", "HUGE", {"DIR/1.dat:1: the file is too large (67108865 bytes, at most 67108864)."});
        row("too many lines", "love.tad", QByteArray(1000001, '\n'),
            {"DIR/love.tad: " + sjis + "LF line ends, 1000001 lines",
             "DIR/love.tad:1: too many lines (1000001, at most 1000000)."});
        row("table ends after >", "muni.tad", "a\r\n>\r\n",
            {"DIR/muni.tad: " + sjis + "CR LF line ends, 2 lines",
             "DIR/muni.tad:2: the file ends right after \">\"; a \">\" must be followed by a line."});
        row("sixth group", "muni.tad", "a\n>\nb\n>\nc\n>\nd\n>\ne\n>\nf\n",
            {"DIR/muni.tad: " + sjis + "LF line ends, 11 lines",
             "DIR/muni.tad:10: \">\" number 5 starts a sixth group; there are at most 5 groups."});
        row("twelfth line", "muni.tad", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12",
            {"DIR/muni.tad: " + sjis + "LF line ends, 12 lines",
             "DIR/muni.tad:12: a twelfth line in group 0; a group holds at most 11 lines."});
        row("empty picture", "2.dat", "", {"DIR/2.dat:1: the picture is empty."});
        row("not a picture", "3.dat", "text",
            {"DIR/3.dat:1: the picture is not a picture this game can read: it is broken or of an unknown format."});
        row("picture too large", "腐る.dat", pngClaiming(100000, 100000),
            {"DIR/腐る.dat:1: the picture is 100000 × 100000 pixels: too large (at most 8192 a side, 16777216 in all)."});
        row("picture cut short", "4.dat", "CUT", {"DIR/4.dat:1: the picture is cut short: its PNG picture data ends early."});
        // What only the screen would show, and how each text was read.
        row("line too wide", "opn.tad", "short\r\n" + wide + "\r\n",
            {"DIR/opn.tad: " + sjis + "CR LF line ends, 2 lines", "DIR/opn.tad:2" + tooWide});
        row("six lines", "腐る.tad", "\xEF\xBB\xBF" "1\r2\r3\r4\r5\r6\r",
            {"DIR/腐る.tad: read as UTF-8 with a byte-order mark, CR line ends, 6 lines",
             "DIR/腐る.tad:6: the text has 6 lines; the message area shows 5."});
        // U+0378 and U+0379 are no characters at all, so no font has a glyph for them.
        row("no glyph", "love.tad", "ok\n\xCD\xB8 and \xCD\xB9\n",
            {"DIR/love.tad: read as UTF-8, LF line ends, 2 lines",
             "DIR/love.tad:2: no glyph in the game's font for \u0378 (U+0378), \u0379 (U+0379)."});
        // Problems of one file in the order of its lines, line ends mixed.
        row("in line order", "opn.tad", wide + "\r\n\x82\xA0\xFF\n2\n3\n4\n5",
            {"DIR/opn.tad: " + sjis + "mixed line ends (1 CR LF, 4 LF), 6 lines", "DIR/opn.tad:1" + tooWide,
             "DIR/opn.tad:2" + noChar, "DIR/opn.tad:6: the text has 6 lines; the message area shows 5."});
    }

    // Every problem is one line, FILE:LINE: what is wrong, and the status tells.
    void checkListsEveryProblem()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        QVERIFY(spoil(data + file, bytes));
        const Run result = run({QStringLiteral("--check"), data});
        QStringList about;
        for (const QString &line : result.out)
            if (line.startsWith(data + file + ':'))
                about << QString(line).replace(data, QStringLiteral("DIR/"));
        QCOMPARE(about, said);
        const bool good = bytes == "KEEP";
        QCOMPARE(result.status, good ? 0 : 1);
        QCOMPARE(result.out.back().endsWith(": no problems"), good);
        QCOMPARE(result.err, QStringList());
    }

    // Run as a player types them, with no screen; Qt's own options pass.
    void commandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how a line of standard output starts, or none at all
        QTest::addColumn<QString>("err"); // the one line of standard error, or none
        const QString help = QStringLiteral(" Try 'pokotama --help' for more information.");
        const QString own = QFileInfo(kGame).absolutePath() + "/dat/";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "  --data <DIR>   Play the content folder <DIR> in "
                                                             "place of the game's own." << "";
        QTest::newRow("help with Qt's") << QStringList{"--help-all"} << 0 << "  --platform <platformName[:options]>"
                                        << "";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "pokotama " POKOTAMA_VERSION << "";
        QTest::newRow("own folder") << QStringList{"-platform", "xcb", "-reverse", "--check"} << 0
                                    << own + ": no problems" << "";
        QTest::newRow("no Japanese font") << QStringList{"--check", "NOFONT"} << 1
                                          << "pokotama: no Japanese font is installed, so the texts' widths and "
                                             "glyphs were not checked; install one, for example Debian's "
                                             "fonts-ipafont-gothic." << "";
        QTest::newRow("folder missing") << QStringList{"--check", "/nonexistent"} << 1
                                        << "pokotama: The data folder /nonexistent is missing." << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "" << "pokotama: Unknown option 'bogus'." + help;
        QTest::newRow("no folder after --data") << QStringList{"--data"} << 2 << ""
                                                << "pokotama: Missing value after '--data'." + help;
        QTest::newRow("a folder alone") << QStringList{"mydat"} << 2 << ""
                                        << "pokotama: Unexpected argument 'mydat': name a folder to play with "
                                           "--data, one to check with --check." + help;
        QTest::newRow("two folders") << QStringList{"--check", "a", "b"} << 2 << ""
                                     << "pokotama: --check checks one folder, not 2." + help;
    }

    void commandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const bool font = !arguments.contains("NOFONT");
        arguments.replaceInStrings(QStringLiteral("NOFONT"), kData);
        const Run result = run(arguments, noScreen(font));
        const auto starts = [&out](const QString &line) { return line.startsWith(out); };
        QVERIFY2(out.isEmpty() ? result.out.isEmpty() : std::ranges::any_of(result.out, starts),
                 qPrintable(result.out.join('\n')));
        QCOMPARE(result.err, err.isEmpty() ? QStringList() : QStringList{err});
        QCOMPARE(result.status, status);
    }

    // --data, on the offscreen platform named by Qt's own option. The game
    // is copied where no "dat" lies beside it, so only the folder named can
    // be the one it plays; a broken one is listed before the box, which
    // then waits for the player.
    void dataPlaysTheFolderNamed()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        const QString game = dir.path() + "/pokotama";
        QVERIFY(QFile::copy(kGame, game));
        QCOMPARE(saidWhilePlaying(game, data), QStringList());
        QVERIFY(spoil(data + "love.dat", "-"));
        QVERIFY(spoil(data + "muni.tad", "a\r\n>\r\n"));
        const QStringList said = saidWhilePlaying(game, data);
        QVERIFY2(said.contains("pokotama: The data file " + data + "love.dat is missing.")
                         && said.contains("pokotama: Message table " + data + "muni.tad, line 2: the file ends "
                                          "right after \">\"; a \">\" must be followed by a line.")
                         // The player's own folder to mend, not the game to reinstall.
                         && said.contains("pokotama: Mend the content folder: pokotama --check " + data
                                          + " lists its problems."),
                 qPrintable(said.join('\n')));
    }

private:
    // The game's own lines on standard error in its first three seconds of
    // playing folder, which it must not have left.
    QStringList saidWhilePlaying(const QString &game, const QString &folder)
    {
        QProcess process;
        process.setProcessEnvironment(noScreen());
        process.start(game, {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--data"), folder});
        const bool left = process.waitForFinished(3000);
        process.kill();
        process.waitForFinished();
        if (left)
            return {QStringLiteral("the game left")};
        return linesOf(process.readAllStandardError()).filter(QRegularExpression(QStringLiteral("^pokotama: ")));
    }
};

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
