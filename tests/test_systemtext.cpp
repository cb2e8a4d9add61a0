/*
 * test_systemtext.cpp: names and reasons as the system gives them: a
 * folder whose name is not UTF-8 is read as itself, and the system's
 * reasons reach the player readable under a locale that is not UTF-8.
 */
#include "common/fatalerror.h"
#include "common/systemtext.h"
#include "data/datadir.h"
#include "data/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes the file at path (bytes) with content.
bool writeFile(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    ::close(fd);
    return written;
}

} // namespace

class TestSystemText : public QObject
{
    Q_OBJECT

private slots:
    // Whatever bytes a name holds, the game's form of it turns back into
    // the very same bytes; valid UTF-8 reads as its characters.
    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("plain") << QByteArray("/usr/games/pokotama") << true;
        QTest::newRow("Japanese") << QByteArray("/home/\xE3\x81\xBD/\xE6\x9E\xAF") << true;
        QTest::newRow("four bytes") << QByteArray("/\xF0\x9F\x8C\xB1/x") << true;
        QTest::newRow("FF") << QByteArray("/tmp/\xFF/dat") << false;
        QTest::newRow("Latin-1 e acute") << QByteArray("/tmp/caf\xE9/dat") << false;
        QTest::newRow("cut short") << QByteArray("/tmp/\xE3\x81") << false;
        QTest::newRow("overlong") << QByteArray("/tmp/\xC0\xAF") << false;
        QTest::newRow("encoded surrogate") << QByteArray("/tmp/\xED\xA0\x80") << false;
        QTest::newRow("all high bytes") << QByteArray("\x80\x9F\xA0\xBF\xC1\xF5\xFE") << false;
    }

    void namesKeepTheirBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        const QString name = systemtext::fromBytes(bytes);
        QCOMPARE(systemtext::toBytes(name), bytes);
        if (utf8)
            QCOMPARE(name, QString::fromUtf8(bytes));
        else
            QVERIFY(!name.contains(QChar::ReplacementCharacter));
    }

    // Under a UTF-8 locale a message shows each kept byte as \xNN.
    void keptBytesShowAsHex()
    {
        QCOMPARE(systemtext::shown(systemtext::fromBytes("/tmp/\xFFx\xE9/dat")), QStringLiteral("/tmp/\\xFFx\\xE9/dat"));
        const FatalError error(systemtext::fromBytes("\xFF"), systemtext::fromBytes("a\xFF"));
        QCOMPARE(error.japanese(), QStringLiteral("\\xFF"));
        QCOMPARE(error.english(), QStringLiteral("a\\xFF"));
    }

    // A data folder whose name is not UTF-8 is read through its own bytes,
    // never through a neighbour whose name looks the same once decoded.
    void readsThroughAFolderThatIsNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        const QByteArray odd = root + "/\xFF";
        QCOMPARE(::mkdir(odd.constData(), 0755), 0);
        QVERIFY(writeFile(odd + "/opn.tad", "odd"));
        // Qt cannot remove what it cannot name.
        const auto removeOdd = qScopeGuard([&] {
            ::unlink((odd + "/opn.tad").constData());
            ::rmdir(odd.constData());
        });
        for (const QByteArray &lookalike : {QByteArray("/\xEF\xBF\xBD"), QByteArray("/?"), QByteArray("/")}) {
            ::mkdir((root + lookalike).constData(), 0755);
            QVERIFY(writeFile(root + lookalike + "/opn.tad", "lookalike"));
        }
        const QString folder = systemtext::fromBytes(odd);
        data::requireFolder(folder);
        QCOMPARE(data::readTextFile(folder + QStringLiteral("/opn.tad")), QStringList{QStringLiteral("odd")});
        // A missing file names the folder as its bytes show.
        try {
            data::readDataFile(folder + QStringLiteral("/0.dat"));
            QFAIL("a missing file read");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains(QStringLiteral("\\xFF/0.dat")), qPrintable(error.english()));
        }
    }

    // The program's folder is the one its file lies in.
    void programFolderHoldsTheProgram()
    {
        QCOMPARE(data::programFolder(), QCoreApplication::applicationDirPath());
    }

    // Under ja_JP.EUC-JP the system's reason comes in English, not as
    // EUC-JP bytes read as UTF-8; names in that locale's encoding show as
    // its text.
    void systemWordsUnderEucJp()
    {
        QTemporaryDir locales;
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {QStringLiteral("-i"), QStringLiteral("ja_JP"), QStringLiteral("-f"), QStringLiteral("EUC-JP"),
                         locales.filePath(QStringLiteral("ja_JP.EUC-JP"))});
        QVERIFY(localedef.waitForFinished(60000));
        QVERIFY2(localedef.exitCode() == 0,
                 "localedef cannot make ja_JP.EUC-JP: install the Debian package locales");
        const QByteArray oldLocale = std::setlocale(LC_ALL, nullptr);
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
        qunsetenv("LANGUAGE");
        QVERIFY(std::setlocale(LC_ALL, "ja_JP.EUC-JP"));
        const auto restore = qScopeGuard([&] {
            std::setlocale(LC_ALL, oldLocale.constData());
            qunsetenv("LOCPATH");
        });
        // The locale's own words for ELOOP are Japanese in EUC-JP (libc-l10n).
        const QByteArray localWords = std::strerror(ELOOP);
        QVERIFY2(localWords != "Too many levels of symbolic links",
                 "no Japanese system messages: install the Debian package libc-l10n");

        QTemporaryDir dir;
        const QString loop = dir.filePath(QStringLiteral("opn.tad"));
        QCOMPARE(::symlink("opn.tad", QFile::encodeName(loop).constData()), 0);
        try {
            data::readTextFile(loop);
            QFAIL("a symlink loop read");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains(QStringLiteral("(Too many levels of symbolic links)")),
                     qPrintable(error.english()));
            QVERIFY2(!error.message().contains(QChar::ReplacementCharacter), qPrintable(error.message()));
        }
        // ぽこ in EUC-JP.
        QCOMPARE(systemtext::shown(systemtext::fromBytes("/tmp/\xA4\xDD\xA4\xB3")), QStringLiteral("/tmp/ぽこ"));
    }
};

QTEST_GUILESS_MAIN(TestSystemText)
#include "test_systemtext.moc"
