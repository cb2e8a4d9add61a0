/*
 * contentcheck.cpp: every file of a content folder, and how its texts
 * would look, listed for a terminal.
 */
#include "ui/contentcheck.h"

#include "common/fatalerror.h"
#include "common/systemtext.h"
#include "data/textfile.h"
#include "game/texts.h"
#include "services/datacheck.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"

#include <QFontMetrics>

#include <algorithm>

namespace contentcheck {

namespace {

QString encodingName(data::Encoding encoding)
{
    switch (encoding) {
    case data::Encoding::ShiftJis: return QStringLiteral("Shift-JIS (code page 932)");
    case data::Encoding::Utf8: return QStringLiteral("UTF-8");
    case data::Encoding::Utf8WithMark: return QStringLiteral("UTF-8 with a byte-order mark");
    }
    return {};
}

// "CR LF line ends", or every kind with its count where they are mixed.
QString lineEnds(const QByteArray &bytes)
{
    const qsizetype crlf = bytes.count("\r\n");
    const QList<std::pair<qsizetype, QString>> kinds{
        {crlf, QStringLiteral("CR LF")},
        {bytes.count('\n') - crlf, QStringLiteral("LF")},
        {bytes.count('\r') - crlf, QStringLiteral("CR")},
    };
    QStringList found;
    for (const auto &[count, name] : kinds)
        if (count > 0)
            found << QStringLiteral("%1 %2").arg(count).arg(name);
    if (found.isEmpty())
        return QStringLiteral("no line ends");
    if (found.size() == 1)
        return found.front().section(u' ', 1) + QStringLiteral(" line ends");
    return QStringLiteral("mixed line ends (%1)").arg(found.join(QStringLiteral(", ")));
}

// "☃ (U+2603), ✈ (U+2708)"
QString named(const QString &characters)
{
    QStringList names;
    for (const char32_t c : characters.toUcs4())
        names << QStringLiteral("%1 (U+%2)")
                         .arg(QString::fromUcs4(&c, 1), QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
    return names.join(QStringLiteral(", "));
}

QString countOf(qsizetype n, const QString &thing)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(thing).arg(n == 1 ? "" : "s");
}

} // namespace

QFont messageFont()
{
    QFont font = gameFont(15, true);
    font.setPixelSize(kFontPixels);
    return font;
}

QList<Problem> checkLines(const QString &path, const QStringList &lines, bool undecodable, bool shownWhole,
                          const QFont &font)
{
    QList<Problem> problems;
    const QFontMetrics metrics(font);
    for (qsizetype at = 0; at < lines.size(); ++at) {
        const QString &line = lines[at];
        const qsizetype number = at + 1;
        // The reader puts U+FFFD where the bytes were no character.
        if (undecodable && line.contains(QChar::ReplacementCharacter))
            problems.append({path, number, QStringLiteral("bytes that are no character of the file's encoding "
                                                          "(shown as \uFFFD).")});
        QString missing = undrawableCharacters(line, font);
        missing.remove(QChar::ReplacementCharacter);
        if (!missing.isEmpty())
            problems.append({path, number, QStringLiteral("no glyph in the game's font for %1.").arg(named(missing))});
        const int width = metrics.horizontalAdvance(line);
        if (width > kMaxLineWidth)
            problems.append({path, number, QStringLiteral("the line is %1 pixels wide; the message area takes %2 "
                                                          "at the smallest screen.")
                                                   .arg(width)
                                                   .arg(kMaxLineWidth)});
    }
    if (shownWhole) {
        // The game shows an empty line before the text.
        const int height = int(lines.size() + 1) * metrics.lineSpacing();
        if (lines.size() > kMaxTextLines)
            problems.append({path, kMaxTextLines + 1, QStringLiteral("the text has %1 lines; the message area "
                                                                     "shows %2.")
                                                              .arg(lines.size())
                                                              .arg(kMaxTextLines)});
        else if (height > kMessageAreaHeight)
            problems.append({path, lines.size(), QStringLiteral("the text is %1 pixels high; the message area "
                                                                "takes %2 at the smallest screen.")
                                                         .arg(height)
                                                         .arg(kMessageAreaHeight)});
    }
    std::ranges::stable_sort(problems, {}, &Problem::line);
    return problems;
}

QString problemLine(const Problem &problem)
{
    return QStringLiteral("%1:%2: %3")
            .arg(systemtext::shown(problem.path))
            .arg(std::max<qsizetype>(problem.line, 1))
            .arg(problem.what);
}

int checkFolder(const QString &dataDir, std::FILE *out)
{
    const auto print = [out](const QString &line) { std::fprintf(out, "%s\n", line.toUtf8().constData()); };
    qsizetype count = 0;

    const QList<FatalError> found = checkDataFolder(dataDir);
    // What has no file of its own, such as a folder that is missing.
    for (const FatalError &error : found) {
        if (error.problem().isEmpty()) {
            print(QStringLiteral("pokotama: ") + error.english());
            ++count;
        }
    }
    const auto foundIn = [&found](const QString &path) {
        QList<Problem> problems;
        for (const FatalError &error : found)
            if (!error.problem().isEmpty() && error.path() == path)
                problems.append({path, error.line(), error.problem()});
        return problems;
    };
    const auto printAll = [&](const QList<Problem> &problems) {
        for (const Problem &problem : problems)
            print(problemLine(problem));
        count += problems.size();
    };

    // Widths and glyphs mean nothing in a face that draws no Japanese.
    const bool measurable = undrawableCharacters(gameTexts(), gameFont(12, false)).isEmpty();
    const QFont font = messageFont();
    for (const QString &name : texts::kTextFiles) {
        const QString path = dataDir + name + texts::kTextSuffix;
        QList<Problem> problems = foundIn(path);
        try {
            const QByteArray bytes = data::readDataFile(path);
            data::Encoding encoding {};
            const QStringList lines = data::decodeLines(bytes, &encoding);
            print(QStringLiteral("%1: read as %2, %3, %4")
                          .arg(systemtext::shown(path), encodingName(encoding), lineEnds(bytes),
                               countOf(lines.size(), QStringLiteral("line"))));
            // A file wrong as a whole (too many lines, say) is not read line by line.
            const bool whole = std::ranges::none_of(problems, [](const Problem &p) { return p.line == 0; });
            if (measurable && whole) {
                problems += checkLines(path, lines, encoding != data::Encoding::Utf8, name != texts::kMessages, font);
                std::ranges::stable_sort(problems, {}, &Problem::line);
            }
        } catch (const FatalError &) {
            // Unreadable: the look over the folder has said why.
        }
        printAll(problems);
    }
    for (const QString &name : texts::kPictureFiles)
        printAll(foundIn(dataDir + name + texts::kPictureSuffix));

    if (!measurable) {
        print(QStringLiteral("pokotama: no Japanese font is installed, so the texts' widths and glyphs were not "
                             "checked; install one, for example Debian's fonts-ipafont-gothic."));
        ++count;
    }
    const QString folder = systemtext::shown(dataDir);
    print(count == 0 ? QStringLiteral("%1: no problems").arg(folder)
                     : QStringLiteral("%1: %2").arg(folder, countOf(count, QStringLiteral("problem"))));
    std::fflush(out);
    return count == 0 ? 0 : 1;
}

} // namespace contentcheck
