/*
 * test_messagetable.cpp: reading muni.tad into the watering messages.
 *
 * Each case is a small file written as lines, with ">" ending a group.
 */
#include "common/fatalerror.h"
#include "data/messagetable.h"
#include "data/textfile.h"

#include <QTest>

namespace {

const QString kPath = QStringLiteral("/game/dat/muni.tad");

// n lines named after their group: "g<group> <i>".
QStringList group(int g, int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QStringLiteral("g%1 %2").arg(g).arg(i);
    return lines;
}

// What filled() gives for group(g, n).
QStringList entries(int g, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("%1,%2=g%1 %2").arg(g).arg(i);
    return out;
}

// The filled entries as "group,line=text", in order, for comparing.
QStringList filled(const data::MessageTable &table)
{
    QStringList out;
    for (int g = 0; g < data::kGroups; ++g)
        for (int l = 0; l < data::kLinesPerGroup; ++l)
            if (!table[g][l].isEmpty())
                out << QStringLiteral("%1,%2=%3").arg(g).arg(l).arg(table[g][l]);
    return out;
}

} // namespace

class TestMessageTable : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty file") << QStringList() << QStringList();
        QTest::newRow("no marker: group 0 only") << QStringList{"a", "b"} << QStringList{"0,0=a", "0,1=b"};
        QTest::newRow("fewer than five groups") << QStringList{"a", ">", "b"} << QStringList{"0,0=a", "1,0=b"};
        QTest::newRow("eleven lines in a group") << group(0, 11) << entries(0, 11);
        QTest::newRow("marker after marker is a message")
            << QStringList{"a", ">", ">", "b"} << QStringList{"0,0=a", "1,0=>", "1,1=b"};
        QTest::newRow("spaced marker is a message")
            << QStringList{" >", "> ", ">"  , "x"} << QStringList{"0,0= >", "0,1=> ", "1,0=x"};
        QTest::newRow("full-width marker is a message") << QStringList{QStringLiteral("＞")}
                                                        << QStringList{QStringLiteral("0,0=＞")};
        QTest::newRow("empty line stored empty")
            << QStringList{"", "b"} << QStringList{"0,1=b"};
        QTest::newRow("empty group") << QStringList{"a", ">", "", ">", "c"} << QStringList{"0,0=a", "2,0=c"};
        QTest::newRow("marker first") << QStringList{">", "a"} << QStringList{"1,0=a"};
    }

    void accepted()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, entries);
        QCOMPARE(filled(data::loadMessageTable(lines, kPath)), entries);
    }

    // Five full groups of eleven: the largest table the file can hold.
    void fullTable()
    {
        QStringList lines;
        for (int g = 0; g < 5; ++g) {
            if (g > 0)
                lines << ">";
            lines << group(g, 11);
        }
        const data::MessageTable table = data::loadMessageTable(lines, kPath);
        QCOMPARE(table[0][0], QStringLiteral("g0 0"));
        QCOMPARE(table[4][10], QStringLiteral("g4 10"));
        QCOMPARE(filled(table).size(), 55);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("lineNumber");
        QTest::addColumn<QString>("what");
        QTest::newRow("twelfth line") << group(0, 12) << 12 << "twelfth line in group 0";
        QTest::newRow("twelfth line in group 2")
            << (QStringList{"a", ">", "b", ">"} + group(2, 12)) << 16 << "twelfth line in group 2";
        QTest::newRow("sixth group") << QStringList{"a", ">", "b", ">", "c", ">", "d", ">", "e", ">", "f"} << 10
                                     << "starts a sixth group";
        QTest::newRow("ends with marker") << QStringList{"a", ">"} << 2 << "ends right after";
        QTest::newRow("only a marker") << QStringList{">"} << 1 << "ends right after";
        QTest::newRow("fifth marker at the end")
            << QStringList{"a", ">", "b", ">", "c", ">", "d", ">", "e", ">"} << 10 << "ends right after";
    }

    // A file of thousands of groups, read from its bytes, stops at the
    // marker that starts the sixth, however much follows.
    void thousandsOfGroups()
    {
        QByteArray bytes;
        for (int g = 0; g < 100000; ++g)
            bytes += "message\r\n>\r\n";
        bytes += "last\r\n";
        try {
            data::loadMessageTable(data::decodeLines(bytes), kPath);
            QFAIL("accepted");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().startsWith(QStringLiteral("Message table %1, line 10: ").arg(kPath)),
                     qPrintable(error.message()));
        }
    }

    // A table that does not fit stops the game; the message names the file,
    // the line and what is wrong.
    void refused()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, lineNumber);
        QFETCH(QString, what);
        try {
            data::loadMessageTable(lines, kPath);
            QFAIL("accepted");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().startsWith(QStringLiteral("Message table %1, line %2: ").arg(kPath).arg(lineNumber)),
                     qPrintable(error.message()));
            QVERIFY2(error.english().contains(what), qPrintable(error.message()));
            QVERIFY2(error.japanese().contains(QStringLiteral("%1 行目").arg(lineNumber)), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestMessageTable)
#include "test_messagetable.moc"
