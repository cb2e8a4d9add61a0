/*
 * test_textfiles.cpp: the data folder, its files, Shift-JIS and line ends.
 */
#include "common/fatalerror.h"
#include "data/datadir.h"
#include "data/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The error that reading path gives, or an empty one if it reads.
QString readError(const QString &path)
{
    try {
        data::readTextFile(path);
    } catch (const FatalError &error) {
        return error.message();
    }
    return {};
}

} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT

private slots:
    void dataDirIsBesideTheProgram_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("dataDir");
        QTest::newRow("usual folder") << "/usr/lib/pokotama" << "/usr/lib/pokotama/dat/";
        QTest::newRow("root folder") << "/" << "/dat/";
        QTest::newRow("trailing slash") << "/opt/game/" << "/opt/game/dat/";
    }

    void dataDirIsBesideTheProgram()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, dataDir);
        QCOMPARE(data::resolveDataDir(programDir), dataDir);
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("LF alone") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("CR alone") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("last line without an end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("blank line between") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
        QTest::newRow("spaces kept") << QByteArray("  a \r\n") << QStringList{"  a "};
    }

    // A line ends at CR LF, LF or CR; a last line without an end is still a
    // line, and nothing after the last end is an extra line.
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(data::decodeLines(bytes), lines);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("kana, full-width tilde, circled digit")
            << QByteArray("\x82\xcd\x82\xb6\x82\xdf\x82\xa1\x81\x60\x87\x40")
            << QStringLiteral("はじめぃ～①");
        QTest::newRow("kanji") << QByteArray("\x8c\xcd\x82\xea\x82\xe9") << QStringLiteral("枯れる");
        QTest::newRow("half-width katakana") << QByteArray("\xb1\xdd") << QStringLiteral("ｱﾝ");
        QTest::newRow("backslash stays a backslash") << QByteArray("a\\b") << QStringLiteral("a\\b");
        QTest::newRow("invalid byte") << QByteArray("a\xff" "b") << QStringLiteral("a\uFFFDb");
        QTest::newRow("lead byte before a line end") << QByteArray("a\x82\r\nb") << QStringLiteral("a\uFFFD\nb");
        QTest::newRow("lead byte at the very end") << QByteArray("a\x82") << QStringLiteral("a\uFFFD");
        QTest::newRow("control bytes as themselves")
            << QByteArray("\x1a\x1c") << QString(QChar(0x1A)) + QChar(0x1C);
        QTest::newRow("NUL byte") << QByteArray("a\0b", 3) << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("DEL byte is replaced like an undecodable one") << QByteArray("a\x7f") << QStringLiteral("a\uFFFD");

        // A UTF-8 byte-order mark says the editor saved the file as UTF-8.
        QTest::newRow("UTF-8 after a byte-order mark")
            << QByteArray("\xef\xbb\xbf") + QStringLiteral("はじめぃ\r\n～①").toUtf8() << QStringLiteral("はじめぃ\n～①");
        QTest::newRow("only the byte-order mark") << QByteArray("\xef\xbb\xbf") << QString();
        QTest::newRow("only one mark is dropped")
            << QByteArray("\xef\xbb\xbf\xef\xbb\xbf>") << QStringLiteral("\uFEFF>");
        QTest::newRow("invalid UTF-8 after the mark")
            << QByteArray("\xef\xbb\xbf" "a\xff\xe3\x81\r\nb\xe3") << QStringLiteral("a\uFFFD\uFFFD\uFFFD\nb\uFFFD");
        QTest::newRow("UTF-8 cut short at the very end")
            << QByteArray("\xef\xbb\xbf" "a\r\nb\xe3\x81") << QStringLiteral("a\nb\uFFFD\uFFFD");
        QTest::newRow("control bytes in UTF-8 are themselves")
            << QByteArray("\xef\xbb\xbf\x1a\x1c\x7f") << QString(QChar(0x1A)) + QChar(0x1C) + QChar(0x7F);
        QTest::newRow("the mark later on is a character")
            << QByteArray("a\r\n\xef\xbb\xbf") << QStringLiteral("a\n\uFEFF");

        // Most editors on Linux save UTF-8 without the mark: a file that is
        // valid UTF-8 as a whole, with bytes above 7F, reads as UTF-8.
        QTest::newRow("UTF-8 without a mark")
            << QStringLiteral("「むにまる」\r\nみず　おいちい～①").toUtf8() << QStringLiteral("「むにまる」\nみず　おいちい～①");
        QTest::newRow("UTF-8 with one broken sequence is code page 932")
            << QByteArray("\xe3\x81\xbf\xe3\x81") << QStringLiteral("縺ｿ縺");
        // The price: Shift-JIS that happens to be valid UTF-8, as these two
        // half-width katakana (ﾂｱ) are, reads as UTF-8.
        QTest::newRow("half-width katakana that are UTF-8") << QByteArray("\xc2\xb1") << QStringLiteral("±");
    }

    // Code page 932 text; a byte that is not valid shows as U+FFFD and the
    // rest of the file still reads.
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(data::decodeLines(bytes).join(u'\n'), text);
    }

    // A file is read by its UTF-8 name, and failing that by its Shift-JIS
    // name, as a Windows archive leaves it.
    void shiftJisFileNames()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray sjisName = QByteArray("\x8c\xcd\x82\xea\x82\xe9.tad"); // 枯れる.tad
        const QByteArray nativePath = QFile::encodeName(dir.path()) + '/' + sjisName;
        const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "sjis\r\n", 6), ssize_t(6));
        ::close(fd);

        QCOMPARE(data::readTextFile(dir.path() + QStringLiteral("/枯れる.tad")), QStringList{"sjis"});

        // With both names present the UTF-8 one wins.
        writeBytes(dir.path() + QStringLiteral("/枯れる.tad"), "utf8\r\n");
        QCOMPARE(data::readTextFile(dir.path() + QStringLiteral("/枯れる.tad")), QStringList{"utf8"});
        // QTemporaryDir cannot remove a name that is not UTF-8.
        ::unlink(nativePath.constData());
    }

    // Errors name the full path; a missing folder is told apart from a
    // missing file.
    void failuresNameTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.path() + "/opn.tad";
        QString error = readError(missing);
        QVERIFY2(error.contains("The data file " + missing + " is missing."), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("データファイル")), qPrintable(error));

        const QString noFolder = dir.path() + "/dat/opn.tad";
        error = readError(noFolder);
        QVERIFY2(error.contains("The data folder " + dir.path() + "/dat is missing."), qPrintable(error));

        writeBytes(dir.path() + "/file", "x");
        error = readError(dir.path() + "/file/opn.tad");
        QVERIFY2(error.contains("The data folder " + dir.path() + "/file is not a folder."), qPrintable(error));

        QVERIFY(QDir(dir.path()).mkdir("folder.tad"));
        error = readError(dir.path() + "/folder.tad");
        QVERIFY2(error.contains("is a folder, not a file"), qPrintable(error));

        const QString locked = dir.path() + "/locked.tad";
        writeBytes(locked, "x");
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        if (::access(QFile::encodeName(locked).constData(), R_OK) != 0) { // root reads anything
            error = readError(locked);
            QVERIFY2(error.contains("Cannot read the data file " + locked), qPrintable(error));
        }
    }

    // Large and odd files read as the rules say: a line of ten megabytes,
    // a million short lines, NUL bytes. (How the time grows with the size
    // is for pokotama-databench to show.)
    void largeFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.path() + "/opn.tad";

        writeBytes(path, QByteArray(10 * 1024 * 1024 - 1, '\x82') + "\xa0\r\nend");
        QStringList lines = data::readTextFile(path);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].size(), 10 * 1024 * 1024 / 2); // pairs of 82 82 make ｂ; 82 A0 makes あ
        QCOMPARE(lines[0].back(), QChar(0x3042));
        QCOMPARE(lines[1], QStringLiteral("end"));

        QByteArray many;
        for (int i = 0; i < 1000000; ++i)
            many += i % 2 ? "\r\n" : "a\n";
        writeBytes(path, many);
        lines = data::readTextFile(path);
        QCOMPARE(lines.size(), 1000000);
        QCOMPARE(lines.count(QStringLiteral("a")), 500000);

        // One line more is more than any text of ours, and refused before
        // a million strings are made: a file of nothing but line ends
        // would take some thirty times its size in memory.
        writeBytes(path, many + "b");
        QString error = readError(path);
        QVERIFY2(error.contains("The data file " + path + " has too many lines (1000001, at most 1000000)."),
                 qPrintable(error));
        writeBytes(path, many + "\r");
        QVERIFY(readError(path).contains("too many lines (1000001"));
        writeBytes(path, many.chopped(2) + "\r\r");
        QVERIFY(readError(path).contains("too many lines (1000001"));

        writeBytes(path, QByteArray(1000, '\0'));
        lines = data::readTextFile(path);
        QCOMPARE(lines, QStringList{QString(1000, QChar(0))});
    }

    // What is not a plain file of sensible size is refused, naming it.
    void notAPlainFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("what");
        QTest::newRow("over 64 MiB") << "huge" << "is too large (67108865 bytes, at most 67108864)";
        QTest::newRow("device") << "device" << "is not a regular file";
        QTest::newRow("link to a folder") << "folder link" << "is a folder, not a file";
        QTest::newRow("link that leads nowhere") << "dangling link" << "is missing";
    }

    void notAPlainFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, what);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.path() + "/muni.tad";
        const QByteArray native = QFile::encodeName(path);
        if (kind == "huge") { // sparse: no disk used
            writeBytes(path, {});
            QCOMPARE(::truncate(native.constData(), data::kMaxDataFileBytes + 1), 0);
        } else if (kind == "device") {
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        } else if (kind == "folder link") {
            QCOMPARE(::symlink(QFile::encodeName(dir.path()).constData(), native.constData()), 0);
        } else {
            QCOMPARE(::symlink("/nonexistent/muni.tad", native.constData()), 0);
        }
        const QString error = readError(path);
        QVERIFY2(error.contains(path + ' ' + what) || error.contains(path + ' ' + what.mid(3)), qPrintable(error));
    }

    // A named pipe in the data folder is refused at once, not waited on
    // until some other program writes to it.
    void namedPipeIsRefusedWithoutWaiting()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.path() + "/opn.tad";
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::mkfifo(native.constData(), 0644), 0);

        auto reading = std::async(std::launch::async, [&] { return readError(path); });
        if (reading.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
            // Let the stuck reader go before failing.
            const int writer = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            reading.wait();
            QFAIL("reading a named pipe waited for a writer");
        }
        const QString error = reading.get();
        QVERIFY2(error.contains(path + " is not a regular file"), qPrintable(error));
    }

    // The error is two lines: Japanese, then English.
    void errorIsTwoLines()
    {
        const FatalError error(QStringLiteral("日本語"), QStringLiteral("English"));
        QCOMPARE(error.message(), QStringLiteral("日本語\nEnglish"));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "test_textfiles.moc"
