/*
 * fontcheck.cpp: the game's texts laid out once before the window opens.
 */
#include "ui/fontcheck.h"

#include "game/texts.h"
#include "ui/about.h"
#include "ui/fonts.h"
#include "ui/layout.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSet>
#include <QTextLayout>

#include <algorithm>
#include <cstdio>

namespace {

// Whether laying out text in font gives a glyph for every character: a
// glyph index of 0 is the font's "missing" box.
bool drawsAll(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes())
            if (glyph == 0)
                return false;
    return true;
}

// Whether the font or one of its fallbacks maps every character of text to
// a glyph: a look in the fonts' character maps, with none of the shaping
// and glyph metrics a layout computes for every character. Line breaks are
// never drawn; anything else this cannot vouch for is left to a layout.
bool mapsAll(const QString &text, const QFont &font)
{
    const QFontMetrics metrics(font);
    const QList<uint> characters = text.toUcs4();
    return std::all_of(characters.begin(), characters.end(),
                       [&metrics](uint c) { return c == '\n' || metrics.inFontUcs4(c); });
}

} // namespace

QString undrawableCharacters(const QString &text, const QFont &font)
{
    // Where every character is in the fonts' maps, the text is drawn. A
    // layout of all the game's texts, as below, measures every glyph of
    // them, most of which the first round never shows: before the window,
    // it was a tenth of the work to the first frame.
    if (mapsAll(text, font))
        return {};
    // One layout of the whole text decides; only where it finds a missing
    // glyph is each character looked at alone, to name the ones that fail.
    if (drawsAll(text, font))
        return {};
    QString missing;
    QSet<char32_t> seen;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::isSpace(c) || seen.contains(c))
            continue;
        seen.insert(c);
        const QString one = QString::fromUcs4(&c, 1);
        if (!drawsAll(one, font))
            missing += one;
    }
    return missing;
}

QString gameTexts()
{
    QStringList all{texts::kStart, texts::kWater, texts::kStartOver, texts::kWither, texts::kRot,
                    texts::kGrowthBefore, texts::kGrowthAfter, forDisplay(aboutText())};
    all << QStringList(texts::kStageTitles.begin(), texts::kStageTitles.end())
        << QStringList(texts::kSpeeches.begin(), texts::kSpeeches.end());
    return all.join(u' ');
}

bool checkGameFont()
{
    // In the message area's own font on this screen: the font the first
    // paint draws the opening in is then already made, not made twice.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int points = screen ? layout::baseFontPoints(layout::screenOf(screen->geometry().size(),
                                                                        screen->logicalDotsPerInchY()))
                              : 12;
    const QString missing = undrawableCharacters(gameTexts(), gameFont(points, true));
    if (missing.isEmpty())
        return true;
    // In English and in ASCII: no font here draws the Japanese.
    const QString text = QStringLiteral(
            "No Japanese font is installed: the game's texts would show as empty boxes.\n"
            "Install one, for example Debian's fonts-ipafont-gothic:\n"
            "    sudo apt-get install fonts-ipafont-gothic");
    for (const QString &line : text.split(u'\n'))
        std::fprintf(stderr, "pokotama: %s\n", line.trimmed().toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("pokotama"), text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("fatal"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return false;
}
