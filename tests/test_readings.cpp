/*
 * test_readings.cpp: the kana readings told to a screen reader. Every text
 * the game can say, read by MeCab, against the readings checked by hand in
 * readings.txt, MeCab's misses named there; the readings made once, as the
 * texts are read, and not at all when the player turns them off.
 */
#include "data/textfile.h"
#include "reading/readings.h"
#include "testing/memoryplatform.h"
#include "ui/announcer.h"

#include <QFile>
#include <QTest>

namespace {

const QString kData = QStringLiteral(POKOTAMA_DATA);

struct Expected
{
    QString right;
    QString read; // what MeCab reads: right, or its miss
};

// readings.txt: shown → expected readings.
QHash<QString, Expected> handChecked()
{
    QFile file(QStringLiteral(POKOTAMA_READINGS_LIST));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", POKOTAMA_READINGS_LIST);
    QHash<QString, Expected> list;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields.size() > 3)
            qFatal("readings.txt: a line of %lld fields", qlonglong(fields.size()));
        list.insert(fields[0], {fields[1], fields.value(2, fields[1])});
    }
    return list;
}

// Every text the game can tell a reader, as it tells it: the data folder's
// lines, trimmed, and the game's own words.
QStringList everyText()
{
    QStringList texts = gameWords();
    for (const QString &name : texts::kTextFiles) {
        for (const QString &line : data::readTextFile(kData + QLatin1Char('/') + name + texts::kTextSuffix)) {
            if (!line.trimmed().isEmpty() && line != QLatin1String(">"))
                texts << line.trimmed();
        }
    }
    texts.removeDuplicates();
    return texts;
}

} // namespace

class TestReadings : public QObject
{
    Q_OBJECT

private slots:
    // Each text with kanji reads as checked by hand, or as the miss the
    // list names; a text all in kana reads as itself. A text the list
    // lacks, or an entry no text needs, fails: the list stays whole.
    void everyTextAgainstTheList()
    {
        reading::Analyser analyser;
        QVERIFY2(analyser.ready(), qPrintable(analyser.why()));
        const QHash<QString, Expected> list = handChecked();
        QSet<QString> used;
        QStringList misses;
        int withKanji = 0;
        for (const QString &text : everyText()) {
            const QString read = analyser.read(text);
            if (!reading::hasKanji(text)) {
                QCOMPARE(read, text);
                continue;
            }
            ++withKanji;
            QVERIFY2(list.contains(text), qPrintable(QStringLiteral("no hand-checked reading for %1").arg(text)));
            used.insert(text);
            QCOMPARE(read, list[text].read);
            QVERIFY(!reading::hasKanji(read));
            if (read != list[text].right)
                misses << text + QStringLiteral(" → ") + read;
        }
        const QList<QString> entries = list.keys();
        QCOMPARE(QSet<QString>(entries.cbegin(), entries.cend()), used);
        qInfo("%lld of %d texts with kanji read right; misses: %s", qlonglong(withKanji - misses.size()), withKanji,
              qPrintable(misses.join(QStringLiteral("; "))));
    }

    // What MeCab skips between words, and what is no word at all, comes through.
    void textAroundTheWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("ASCII spaces") << "水の量 63% ふつう" << "みずのりょう 63% ふつう";
        QTest::newRow("edges") << "  水  " << "  みず  ";
        QTest::newRow("Latin and digits") << "ver 1.00 水" << "ver 1.00 みず";
        QTest::newRow("katakana kept") << "ゲージの水" << "ゲージのみず";
        QTest::newRow("empty") << "" << "";
    }

    void textAroundTheWords()
    {
        QFETCH(QString, text);
        reading::Analyser analyser;
        QTEST(analyser.read(text), "read");
    }

    // The readings are made as the texts are read, once for each line with
    // kanji however often it is read again, and only for a screen reader:
    // until one listens the texts wait, and the first lookup then reads
    // them. Turned off, every text is said as shown.
    void madeOnceForAReader()
    {
        MemoryPlatform memory;
        const QString path = memory.dir + QStringLiteral("opn.tad");
        memory.files[path] = {QStringLiteral("水をやる"), QStringLiteral("むにまる"), QStringLiteral("  水をやる "),
                              QStringLiteral("大人に")};
        bool listening = false;
        reading::Readings readings(true, [&] { return listening; });
        reading::ReadingPlatform platform(memory, readings);
        QCOMPARE(platform.readLines(path), memory.files[path]);
        QCOMPARE(readings.of(QStringLiteral("水をやる")), QStringLiteral("水をやる"));
        QCOMPARE(readings.analysed(), 0);
        listening = true;
        QCOMPARE(readings.of(QStringLiteral("大人に")), QStringLiteral("おとなに"));
        QCOMPARE(readings.analysed(), 2);
        platform.readLines(path);
        QCOMPARE(readings.of(QStringLiteral(" 水をやる")), QStringLiteral("みずをやる"));
        QCOMPARE(readings.of(QStringLiteral("枯れる")), QStringLiteral("枯れる")); // never read
        QCOMPARE(readings.analysed(), 2);

        qputenv("POKOTAMA_READINGS", "off");
        QVERIFY(!reading::wanted());
        qunsetenv("POKOTAMA_READINGS");
        reading::Readings off(false);
        off.learn(memory.files[path]);
        QCOMPARE(off.of(QStringLiteral("水をやる")), QStringLiteral("水をやる"));
        QCOMPARE(off.analysed(), 0);
    }
};

QTEST_GUILESS_MAIN(TestReadings)
#include "test_readings.moc"
