/*
 * test_commandline.cpp: the real program's command line, run with no
 * screen named at all: --check over content folders broken in every way
 * the game knows, --help, --version, mistakes, and --data played on Qt's
 * offscreen platform.
 */
#include "testing/forgedpng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kGame = QStringLiteral(POKOTAMA_GAME);
const QString kData = QStringLiteral(POKOTAMA_DATA "/");

struct Run
{
    int status = -1;
    QStringList out;
    QStringList err;
};

// The environment of a terminal with no screen: --check and the questions
// must need none.
QProcessEnvironment noScreen()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

QStringList linesOf(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

Run run(const QStringList &arguments, QProcessEnvironment env = noScreen())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(kGame, arguments);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = linesOf(process.readAllStandardOutput());
    result.err = linesOf(process.readAllStandardError());
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

bool write(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// How a row spoils its file: replaced by bytes, removed, or something
// that is no regular file put in its place.
enum class Spoil { Bytes, Remove, Folder, Pipe, Huge };

// The width of a line in the message area's face at the smallest screen,
// measured here on its own: IPA's proportional Gothic, bold italic, 20 pixels.
int widthOf(const QString &line)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(20);
    font.setBold(true);
    font.setItalic(true);
    return QFontMetrics(font).horizontalAdvance(line);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    // ---- pokotama --check DIR

    void checkListsEveryProblem_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("spoil");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // DIR/ stands for the folder
        const auto row = [](const char *name, const QString &file, Spoil spoil, const QByteArray &bytes,
                            const QStringList &expected) {
            QTest::newRow(name) << file << int(spoil) << bytes << expected;
        };
        // あ in code page 932, forty times.
        const QByteArray wide = QByteArray("\x82\xA0").repeated(40);
        const QString wideLine = QStringLiteral("DIR/opn.tad:2: the line is %1 pixels wide; the message area takes "
                                                "640 at the smallest screen.")
                                         .arg(widthOf(QStringLiteral("あ").repeated(40)));

        row("good", "", Spoil::Bytes, {}, {});
        row("picture missing", "love.dat", Spoil::Remove, {}, {"DIR/love.dat:1: the file is missing."});
        row("text missing", "opn.tad", Spoil::Remove, {}, {"DIR/opn.tad:1: the file is missing."});
        row("folder for a file", "枯れる.tad", Spoil::Folder, {},
            {"DIR/枯れる.tad:1: this is a folder, not a file."});
        row("named pipe", "0.dat", Spoil::Pipe, {}, {"DIR/0.dat:1: this is not a regular file."});
        row("too large", "1.dat", Spoil::Huge, {},
            {"DIR/1.dat:1: the file is too large (67108865 bytes, at most 67108864)."});
        row("too many lines", "love.tad", Spoil::Bytes, QByteArray(1000001, '\n'),
            {"DIR/love.tad:1: too many lines (1000001, at most 1000000)."});
        row("table ends after >", "muni.tad", Spoil::Bytes, "a\r\n>\r\n",
            {"DIR/muni.tad:2: the file ends right after \">\"; a \">\" must be followed by a line."});
        row("sixth group", "muni.tad", Spoil::Bytes, "a\n>\nb\n>\nc\n>\nd\n>\ne\n>\nf\n",
            {"DIR/muni.tad:10: \">\" number 5 starts a sixth group; there are at most 5 groups."});
        row("twelfth line", "muni.tad", Spoil::Bytes, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n",
            {"DIR/muni.tad:12: a twelfth line in group 0; a group holds at most 11 lines."});
        row("empty picture", "2.dat", Spoil::Bytes, "", {"DIR/2.dat:1: the picture is empty."});
        row("not a picture", "3.dat", Spoil::Bytes, "not a picture at all",
            {"DIR/3.dat:1: the picture is not a picture this game can read: it is broken or of an unknown format."});
        row("picture too large", "腐る.dat", Spoil::Bytes, pngClaiming(100000, 100000),
            {"DIR/腐る.dat:1: the picture is 100000 × 100000 pixels: too large (at most 8192 a side, 16777216 in "
             "all)."});
        row("picture cut short", "4.dat", Spoil::Bytes, "CUT",
            {"DIR/4.dat:1: the picture is cut short: its PNG picture data ends early."});
        // What only the screen would show.
        row("line too wide", "opn.tad", Spoil::Bytes, "short\n" + wide + "\n", {wideLine});
        row("six lines", "腐る.tad", Spoil::Bytes, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
            {"DIR/腐る.tad:6: the text has 6 lines; the message area shows 5."});
        // U+0378 is no character at all, so no font has a glyph for it.
        row("no glyph", "love.tad", Spoil::Bytes, "ok\n\xCD\xB8 and \xEE\x80\x80\n",
            {"DIR/love.tad:2: no glyph in the game's font for \u0378 (U+0378), \uE000 (U+E000)."});
        row("not code page 932", "枯れる.tad", Spoil::Bytes, "ok\r\n\x82\xA0\xFF\r\n",
            {"DIR/枯れる.tad:2: bytes that are no character of the file's encoding (shown as \uFFFD)."});
        // Several problems of one file come in the order of its lines.
        row("in line order", "opn.tad", Spoil::Bytes, wide + "\n\x82\xA0\xFF\n2\n3\n4\n5\n",
            {QString(wideLine).replace("opn.tad:2:", "opn.tad:1:"),
             "DIR/opn.tad:2: bytes that are no character of the file's encoding (shown as \uFFFD).",
             "DIR/opn.tad:6: the text has 6 lines; the message area shows 5."});
    }

    // Every problem is one line FILE:LINE: what is wrong, nothing else is
    // said of the files but how each text was read, and the status tells.
    void checkListsEveryProblem()
    {
        QFETCH(QString, file);
        QFETCH(int, spoil);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        const QString path = data + file;
        if (!file.isEmpty()) {
            switch (Spoil(spoil)) {
            case Spoil::Bytes:
                if (bytes == "CUT") {
                    QFile picture(path);
                    QVERIFY(picture.open(QIODevice::ReadOnly));
                    bytes = picture.readAll();
                    bytes.truncate(bytes.size() / 2);
                }
                QVERIFY(write(path, bytes));
                break;
            case Spoil::Remove:
                QVERIFY(QFile::remove(path));
                break;
            case Spoil::Folder:
                QVERIFY(QFile::remove(path) && QDir().mkdir(path));
                break;
            case Spoil::Pipe:
                QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
                break;
            case Spoil::Huge: {
                QFile huge(path);
                QVERIFY(huge.open(QIODevice::ReadWrite) && huge.resize(64 * 1024 * 1024 + 1));
                break;
            }
            }
        }

        const Run result = run({QStringLiteral("--check"), data});
        QStringList problems;
        for (const QString &line : result.out)
            if (QRegularExpression(QStringLiteral("^.+:[0-9]+: ")).match(line).hasMatch())
                problems << QString(line).replace(data, QStringLiteral("DIR/"));
        QCOMPARE(problems, expected);
        QCOMPARE(result.status, expected.isEmpty() ? 0 : 1);
        QCOMPARE(result.err, QStringList());
        QCOMPARE(result.out.back(), expected.isEmpty() ? data + ": no problems"
                                                       : data + QStringLiteral(": %1 problem%2").arg(expected.size())
                                                                 .arg(expected.size() == 1 ? "" : "s"));
    }

    // One line says how each text was read, so an author sees at once a
    // file saved in an encoding other than they meant.
    void checkSaysHowEachTextWasRead()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        QVERIFY(write(data + "opn.tad", "\xEF\xBB\xBF\xE3\x81\x82\r1\r2\r"));
        QVERIFY(write(data + "love.tad", "\xE3\x81\x82\n1\n"));
        QVERIFY(write(data + QStringLiteral("枯れる.tad"), "\x82\xA0\r\n1\n2"));
        QVERIFY(write(data + QStringLiteral("腐る.tad"), ""));
        const Run result = run({QStringLiteral("--check"), data});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, (QStringList{
                                 data + "muni.tad: read as Shift-JIS (code page 932), CR LF line ends, 54 lines",
                                 data + "opn.tad: read as UTF-8 with a byte-order mark, CR line ends, 3 lines",
                                 data + "love.tad: read as UTF-8, LF line ends, 2 lines",
                                 data + QStringLiteral("枯れる.tad: read as Shift-JIS (code page 932), mixed line "
                                                       "ends (1 CR LF, 1 LF), 3 lines"),
                                 data + QStringLiteral("腐る.tad: read as Shift-JIS (code page 932), no line ends, "
                                                       "0 lines"),
                                 data + ": no problems",
                             }));
    }

    // Without a folder named, the game's own, beside the program; Qt's own
    // options pass, and a screen named on the command line is not opened.
    void checkWithoutFolderChecksTheGamesOwn()
    {
        const Run result = run({QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("-reverse"),
                                QStringLiteral("--check")});
        QCOMPARE(result.err, QStringList());
        QCOMPARE(result.status, 0);
        QVERIFY(!result.out.isEmpty());
        QCOMPARE(result.out.back(), QFileInfo(kGame).absolutePath() + "/dat/: no problems");
    }

    void checkOfAMissingFolder()
    {
        QTemporaryDir dir;
        const Run result = run({QStringLiteral("--check"), dir.path() + "/none"});
        QCOMPARE(result.out, (QStringList{"pokotama: The data folder " + dir.path() + "/none is missing.",
                                          dir.path() + "/none/: 1 problem"}));
        QCOMPARE(result.status, 1);
    }

    // Widths and glyphs cannot be judged in a face without Japanese: said
    // once, and the folder is not passed.
    void checkWithoutJapaneseFont()
    {
        QProcessEnvironment env = noScreen();
        env.insert(QStringLiteral("FONTCONFIG_FILE"), QStringLiteral(POKOTAMA_FONTS_DEJAVU));
        const Run result = run({QStringLiteral("--check"), kData}, env);
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out.mid(result.out.size() - 2),
                 (QStringList{"pokotama: no Japanese font is installed, so the texts' widths and glyphs were not "
                              "checked; install one, for example Debian's fonts-ipafont-gothic.",
                              kData + ": 1 problem"}));
    }

    // ---- The questions.

    void helpNamesTheOptions()
    {
        const Run result = run({QStringLiteral("--help")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QStringList());
        QVERIFY2(!result.out.isEmpty() && result.out.front().startsWith("Usage: "), qPrintable(result.out.join('\n')));
        const QString text = result.out.join('\n');
        for (const char *option : {"--data <DIR>", "--check", "--help", "--version"})
            QVERIFY2(text.contains(QLatin1String(option)), option);
        // Qt's own options are listed only with --help-all.
        QVERIFY(!text.contains(QLatin1String("--platform")));
        QVERIFY(run({QStringLiteral("--help-all")}).out.join('\n').contains(QLatin1String("--platform")));
    }

    void versionIsOneLineThenTheLicence()
    {
        const Run result = run({QStringLiteral("--version")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QStringList());
        QVERIFY(!result.out.isEmpty());
        QCOMPARE(result.out.front(), QStringLiteral("pokotama " POKOTAMA_VERSION));
    }

    // ---- Mistakes: one line on standard error naming --help, status 2.

    void mistakesAreOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        const QString help = QStringLiteral(" Try 'pokotama --help' for more information.");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "pokotama: Unknown option 'bogus'." + help;
        QTest::newRow("no folder after --data") << QStringList{"--data"}
                                                << "pokotama: Missing value after '--data'." + help;
        QTest::newRow("a folder without --check") << QStringList{"mydat"}
                                                  << "pokotama: Unexpected argument 'mydat': name a folder to play "
                                                     "with --data, one to check with --check." + help;
        QTest::newRow("two folders to check") << QStringList{"--check", "a", "b"}
                                              << "pokotama: --check checks one folder, not 2." + help;
    }

    void mistakesAreOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        const Run result = run(arguments);
        QCOMPARE(result.err, QStringList{line});
        QCOMPARE(result.out, QStringList());
        QCOMPARE(result.status, 2);
    }

    // ---- pokotama --data DIR, on the offscreen platform named by Qt's own
    // option. The program is copied where no "dat" lies beside it, so only
    // the folder named can be the one it plays.

    void dataPlaysTheFolderNamed()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        const QString game = dir.path() + "/pokotama";
        QVERIFY(QFile::copy(kGame, game));

        QProcess process;
        process.setProcessEnvironment(noScreen());
        process.start(game, {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--data"), data});
        QVERIFY(process.waitForStarted());
        // Playing: still there after the look over the folder and the
        // first round, having said nothing of its own.
        QVERIFY(!process.waitForFinished(3000));
        process.kill();
        process.waitForFinished();
        const QString said = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(!said.contains(QLatin1String("pokotama:")), qPrintable(said));

        // Without --data it would have found no folder at all.
        const QStringList lines = problemsBeforeTheBox(game, {});
        QVERIFY2(lines.contains("pokotama: The data folder " + dir.path() + "/dat is missing."),
                 qPrintable(lines.join('\n')));
    }

    void dataShowsTheFoldersProblems()
    {
        QTemporaryDir dir;
        const QString data = copyOfData(dir);
        QVERIFY(QFile::remove(data + "love.dat"));
        QVERIFY(write(data + "muni.tad", "a\r\n>\r\n"));
        const QStringList lines = problemsBeforeTheBox(kGame, {QStringLiteral("--data"), data});
        QVERIFY2(lines.contains("pokotama: Message table " + data + "muni.tad, line 2: the file ends right after "
                                                                     "\">\"; a \">\" must be followed by a line."),
                 qPrintable(lines.join('\n')));
        QVERIFY2(lines.contains("pokotama: The data file " + data + "love.dat is missing."), qPrintable(lines.join('\n')));
    }

private:
    // The lines the game writes to standard error before its box of
    // problems, which waits for a player, so the game is ended here.
    QStringList problemsBeforeTheBox(const QString &game, QStringList arguments)
    {
        QProcess process;
        QProcessEnvironment env = noScreen();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(game, arguments);
        QByteArray said;
        // The advice closes the list.
        for (int waited = 0; waited < 100 && !said.contains("reinstall the game"); ++waited) {
            process.waitForReadyRead(200);
            said += process.readAllStandardError();
        }
        const bool waiting = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished();
        if (!waiting)
            return {QStringLiteral("(the game did not wait with its box)")};
        return linesOf(said);
    }
};

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
