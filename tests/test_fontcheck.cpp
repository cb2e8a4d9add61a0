/*
 * test_fontcheck.cpp: the game's own texts in the fonts a player may have.
 *
 * Run twice: on this machine's fonts, where every character of the game's
 * texts has a glyph and each Japanese face the game can take fits them in
 * their places; and with POKOTAMA_NO_JAPANESE_FONT set, under a fontconfig
 * that sees only DejaVu, where the check must find the Japanese missing.
 */
#include "game/texts.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"
#include "ui/layout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

namespace {

// On a 768-pixel screen, the smallest the game is made for: the window's
// inner area (less openbox's frame) and the fonts the layout gives it.
constexpr QSize kInner(689, 670);
constexpr int kMessagePoints = 15;
// The message area's lines stay well inside its width.
constexpr int kMaxLineWidth = 640;

bool noJapaneseFont()
{
    return qEnvironmentVariableIsSet("POKOTAMA_NO_JAPANESE_FONT");
}

QFont face(const QString &family, double points, bool boldItalic)
{
    QFont font = gameFont(points, boldItalic);
    font.setFamilies({family});
    return font;
}

} // namespace

class TestFontCheck : public QObject
{
    Q_OBJECT

private slots:
    // With a Japanese font the check passes; without one it names the
    // Japanese characters, and only those.
    void findsWhatCannotBeDrawn()
    {
        const QString missing = undrawableCharacters(gameTexts(), gameFont(15, false));
        if (!noJapaneseFont()) {
            QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no glyph for: ") + missing));
            return;
        }
        for (const QString &needed : {QStringLiteral("水"), QStringLiteral("は"), QStringLiteral("～")})
            QVERIFY2(missing.contains(needed), qPrintable(QStringLiteral("not found missing: ") + needed));
        for (const QChar c : missing)
            QVERIFY2(c.unicode() > 0x7F, "an ASCII character found missing");
    }

    // Each Japanese face the game can ask for, where installed, fits the
    // growth message, the speeches and the button's captions in place.
    void fixedTextsFitWithEveryFace_data()
    {
        QTest::addColumn<QString>("family");
        if (noJapaneseFont())
            QSKIP("no Japanese face in this run");
        const QStringList installed = QFontDatabase::families();
        for (const QString &family : gameFontFamilies())
            if (installed.contains(family, Qt::CaseInsensitive))
                QTest::newRow(qPrintable(family)) << family;
    }

    void fixedTextsFitWithEveryFace()
    {
        QFETCH(QString, family);
        const QFontMetrics message(face(family, kMessagePoints, true));
        QCOMPARE(QFontInfo(face(family, kMessagePoints, true)).family(), family);
        QStringList lines;
        for (int stage = 1; stage < int(texts::kStageTitles.size()); ++stage)
            lines << texts::kGrowthBefore + texts::kStageTitles[stage] + texts::kGrowthAfter << texts::kSpeeches[stage];
        for (const QString &line : lines) {
            const int width = message.horizontalAdvance(line);
            QVERIFY2(width <= kMaxLineWidth, qPrintable(QStringLiteral("%1 px: %2").arg(width).arg(line)));
        }
        // The message after a stage-up is three lines, the first empty.
        QVERIFY(3 * message.lineSpacing() <= layout::place(QRect(QPoint(0, 0), kInner), layout::kMessages).height());

        const QFontMetrics button(face(family, kMessagePoints * 1.5, false));
        const QRect place = layout::place(QRect(QPoint(0, 0), kInner), layout::kButton);
        for (const QString &caption : {texts::kStart, texts::kWater, texts::kStartOver}) {
            const int width = button.horizontalAdvance(caption);
            QVERIFY2(width < place.width() - 8, qPrintable(QStringLiteral("%1 px: %2").arg(width).arg(caption)));
            QVERIFY(button.height() < place.height());
        }
    }
};

QTEST_MAIN(TestFontCheck)
#include "test_fontcheck.moc"
