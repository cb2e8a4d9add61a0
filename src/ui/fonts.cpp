/*
 * fonts.cpp: the game's Japanese face.
 */
#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

namespace {

// The game's face is MS PGothic. Where it is missing, IPA's proportional
// Gothic (Debian's fonts-ipafont-gothic) and other Japanese faces follow,
// so kanji always take Japanese shapes, never Chinese ones.
const QStringList kFontFamilies{
    QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
    QStringLiteral("IPAexGothic"),   QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
    QStringLiteral("Source Han Sans JP"), QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic"),
};

// The first family of the list installed here, alone. Qt would pass over
// the missing ones by itself, but only after asking fontconfig for their
// substitutes, for every font and script, which slows the start. Given
// more than one family, it also asks for the substitutes of the one it
// takes, at once, whether a character needs them or not. Each face of the
// list is a whole Japanese face: IPA's lacks one character of code page
// 932 (∑), which falls back through fontconfig, as it would have after the
// rest of the list. With none installed, Qt gets the whole list.
const QStringList &installedFontFamilies()
{
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &family : kFontFamilies)
            if (installed.contains(family, Qt::CaseInsensitive))
                return QStringList{family};
        return kFontFamilies;
    }();
    return families;
}

} // namespace

const QStringList &gameFontFamilies()
{
    return kFontFamilies;
}

QFont gameFont(double points, bool boldItalic)
{
    QFont font;
    font.setFamilies(installedFontFamilies());
    font.setPointSizeF(points);
    font.setBold(boldItalic);
    font.setItalic(boldItalic);
    return font;
}

void loadFontConfiguration()
{
    FcInit();
}
