/*
 * messagetable.cpp: reading muni.tad into the table of watering messages.
 */
#include "data/messagetable.h"

#include "common/fatalerror.h"

namespace data {

namespace {

const QString kGroupEnd = QStringLiteral(">");

[[noreturn]] void throwAt(const QString &path, qsizetype lineNumber, const QString &japanese,
                          const QString &english)
{
    throw FatalError(QStringLiteral("メッセージ表 %1 の %2 行目: %3").arg(path).arg(lineNumber).arg(japanese),
                     QStringLiteral("Message table %1, line %2: %3").arg(path).arg(lineNumber).arg(english))
            .at(path, lineNumber, english);
}

} // namespace

MessageTable loadMessageTable(const QStringList &lines, const QString &path)
{
    MessageTable table;
    int group = 0;
    int line = 0;
    for (qsizetype at = 0; at < lines.size(); ++at) {
        if (lines[at] == kGroupEnd) {
            ++group;
            line = 0;
            // The line after ">" is read whatever it is, so a ">" as the
            // file's last line has nothing to read.
            if (at + 1 == lines.size())
                throwAt(path, at + 1,
                        QStringLiteral("「>」で終わっています。「>」の次には少なくとも 1 行が要ります。"),
                        QStringLiteral("the file ends right after \">\"; a \">\" must be followed by a line."));
            if (group >= kGroups)
                throwAt(path, at + 1,
                        QStringLiteral("%1 つ目の「>」で 6 つ目のグループが始まります。グループは 5 つまでです。").arg(group),
                        QStringLiteral("\">\" number %1 starts a sixth group; there are at most 5 groups.").arg(group));
            ++at;
        }
        if (line >= kLinesPerGroup)
            throwAt(path, at + 1,
                    QStringLiteral("グループ %1 の 12 行目です。1 つのグループは 11 行までです。").arg(group),
                    QStringLiteral("a twelfth line in group %1; a group holds at most 11 lines.").arg(group));
        table[group][line++] = lines[at];
    }
    return table;
}

} // namespace data
