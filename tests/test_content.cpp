/*
 * test_content.cpp: the game's own data files as shipped in dat/, and its
 * icons: read through the game's own loaders, and measured against the
 * window they are shown in at the smallest screen we support (768 pixels
 * high at 96 dpi), as pokotama --check measures a player's own.
 */
#include "common/fatalerror.h"
#include "data/messagetable.h"
#include "data/picture.h"
#include "data/textfile.h"
#include "game/texts.h"
#include "ui/contentcheck.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <algorithm>

namespace {

const QString kData = QStringLiteral(POKOTAMA_DATA "/");
const QString kIcons = QStringLiteral(POKOTAMA_ICONS "/");

// The face the message area takes on Debian, where the game's first
// choice, MS PGothic, is not to be had.
const QString kFontFamily = QStringLiteral("IPAPGothic");

// The button captions the texts tell the player to press.
const QString kStart = QStringLiteral("「はじめぃ」");
const QString kWater = QStringLiteral("「水をやる」");
const QString kStartOver = QStringLiteral("「やりなおし～」");

const QStringList kEndings{texts::kLove, texts::kWither, texts::kRot};

QByteArray rawBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    return file.readAll();
}

QStringList textLines(const QString &base)
{
    return data::readTextFile(kData + base + texts::kTextSuffix);
}

data::MessageTable messageTable()
{
    return data::loadMessageTable(textLines(texts::kMessages), kData + texts::kMessages + texts::kTextSuffix);
}

// The message area's font. Fails the calling test if the font is missing:
// a fallback font has other widths and would prove nothing.
bool messageFont(QFont &font)
{
    font = contentcheck::messageFont();
    const QString family = QFontInfo(font).family();
    if (family != kFontFamily) {
        QTest::qFail(qPrintable(QStringLiteral("the font %1 is missing (Qt would use %2): install the "
                                               "Debian package fonts-ipafont-gothic")
                                        .arg(kFontFamily, family)),
                     __FILE__, __LINE__);
        return false;
    }
    return true;
}

// What pokotama --check finds in the lines of the data file base, one
// problem a line; empty if none.
QString misfits(const QString &base, bool shownWhole, const QFont &font)
{
    const QString path = kData + base + texts::kTextSuffix;
    QString report;
    for (const contentcheck::Problem &problem :
         contentcheck::checkLines(path, data::readTextFile(path), true, shownWhole, font))
        report += contentcheck::problemLine(problem) + u'\n';
    return report;
}

// Near-white or fully transparent: the background of our pictures.
bool isBackground(QRgb pixel)
{
    return qAlpha(pixel) == 0 || (qRed(pixel) > 245 && qGreen(pixel) > 245 && qBlue(pixel) > 245);
}

} // namespace

class TestContent : public QObject
{
    Q_OBJECT

private slots:
    // ---- Encoding and line ends: what the game reads is what we wrote.

    void textFilesAreShiftJisWithCrLf_data()
    {
        QTest::addColumn<QString>("base");
        for (const QString &base : texts::kTextFiles)
            QTest::newRow(qPrintable(base)) << base;
    }

    void textFilesAreShiftJisWithCrLf()
    {
        QFETCH(QString, base);
        const QByteArray bytes = rawBytes(kData + base + texts::kTextSuffix);
        QVERIFY2(bytes.endsWith("\r\n"), "the last line has no CR LF");
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r')
                QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n', qPrintable(QString("lone CR at byte %1").arg(i)));
            if (bytes[i] == '\n')
                QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QString("lone LF at byte %1").arg(i)));
        }

        const QStringList lines = data::decodeLines(bytes);
        QVERIFY(!lines.isEmpty());
        for (qsizetype n = 0; n < lines.size(); ++n) {
            const QString &line = lines[n];
            QVERIFY2(!line.contains(QChar(0xFFFD)),
                     qPrintable(QString("line %1 is not code page 932: %2").arg(n + 1).arg(line)));
            for (const QChar c : line)
                QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7F,
                         qPrintable(QString("line %1 holds control character U+%2")
                                            .arg(n + 1).arg(uint(c.unicode()), 4, 16, QChar(u'0'))));
            // Spaces at either end push a centred line off centre.
            QVERIFY2(line == line.trimmed(),
                     qPrintable(QString("line %1 starts or ends with a space: \"%2\"").arg(n + 1).arg(line)));
        }
        // Read back the way we wrote it: bytes that decode and encode to
        // the same bytes hold no look-alike that the game would show otherwise.
        QCOMPARE(data::encodeCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")), bytes);
    }

    // ---- What the texts must say.

    // The opening tells how to play with the buttons' own captions, and every
    // ending tells how to start over: a hint naming a button that does not
    // exist (a wave dash for the full-width tilde, say) would leave the
    // player guessing.
    void textsNameTheButtons()
    {
        const QString opening = textLines("opn").join('\n');
        QVERIFY2(opening.contains(kStart), qPrintable(opening));
        QVERIFY2(opening.contains(kWater), qPrintable(opening));
        for (const QString &ending : kEndings) {
            const QString text = textLines(ending).join('\n');
            QVERIFY2(text.contains(kStartOver), qPrintable(ending + ": " + text));
        }
    }

    void messageTableHasTenLinesInEveryGroup()
    {
        const data::MessageTable table = messageTable();
        for (int group = 0; group < data::kGroups; ++group) {
            QStringList seen;
            for (int line = 0; line < 10; ++line) {
                const QString &message = table[group][line];
                const QString where = QString("group %1, line %2").arg(group).arg(line);
                QVERIFY2(!message.trimmed().isEmpty(), qPrintable(where + " is empty"));
                // Two ">" in a row store the second as a message.
                QVERIFY2(message != QStringLiteral(">"), qPrintable(where + " is a stray \">\""));
                QVERIFY2(!seen.contains(message), qPrintable(where + " repeats: " + message));
                seen.append(message);
            }
            // Line 10 is never shown: a message there is lost.
            QVERIFY2(table[group][10].isEmpty(),
                     qPrintable(QString("group %1 has an eleventh line, which is never shown: %2")
                                        .arg(group).arg(table[group][10])));
        }
    }

    // ---- Fitting the window.

    void textsFitTheMessageArea_data()
    {
        QTest::addColumn<QString>("base");
        for (const QString &base : texts::kTextFiles)
            if (base != texts::kMessages)
                QTest::newRow(qPrintable(base)) << base;
    }

    void textsFitTheMessageArea()
    {
        QFETCH(QString, base);
        QFont font;
        if (!messageFont(font))
            return;
        const QString wrong = misfits(base, true, font);
        QVERIFY2(wrong.isEmpty(), qPrintable("does not fit the message area:\n" + wrong));
    }

    // A watering shows one message alone, on the line after the empty one.
    void messagesFitTheMessageArea()
    {
        QFont font;
        if (!messageFont(font))
            return;
        const QString wrong = misfits(texts::kMessages, false, font);
        QVERIFY2(wrong.isEmpty(), qPrintable("does not fit the message area:\n" + wrong));
    }

    // ---- The folder.

    // The data folder holds just the files the game's lists name: none
    // left out of the lists, none shipped that nothing reads.
    void dataFolderHoldsTheListedFiles()
    {
        QStringList listed;
        for (const QString &name : texts::kTextFiles)
            listed << name + texts::kTextSuffix;
        for (const QString &name : texts::kPictureFiles)
            listed << name + texts::kPictureSuffix;
        listed.sort();
        QStringList present = QDir(kData).entryList(QDir::Files | QDir::Hidden);
        present.sort();
        QCOMPARE(present, listed);
    }

    // ---- Pictures.

    void picturesLoad_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : texts::kPictureFiles)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Every picture loads through the game's loader, square and large enough
    // to stay sharp when stretched over the creature area, with an empty
    // border: the wiggle shifts the picture sideways by a 20-pixel strip,
    // and a drawing that touched the edge would be cut off.
    void picturesLoad()
    {
        QFETCH(QString, name);
        QImage picture;
        try {
            picture = data::loadPicture(kData + name + texts::kPictureSuffix);
        } catch (const FatalError &error) {
            QFAIL(qPrintable(error.message()));
        }
        QCOMPARE(picture.width(), picture.height());
        QVERIFY2(picture.width() >= 400 && picture.width() <= 1024, qPrintable(QString::number(picture.width())));

        const int margin = picture.width() / 32;
        const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool border = x < margin || y < margin || x >= image.width() - margin
                                    || y >= image.height() - margin;
                if (border && !isBackground(image.pixel(x, y)))
                    QFAIL(qPrintable(QString("the drawing reaches the border at %1, %2").arg(x).arg(y)));
            }
    }

    // ---- The window icon.

    void iconsHaveTheirSize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }

    // The face on a transparent ground, at exactly the size its name says.
    void iconsHaveTheirSize()
    {
        QFETCH(int, size);
        const QImage icon(kIcons + QString("pokotama-%1.png").arg(size));
        QVERIFY2(!icon.isNull(), "missing or unreadable");
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        const int last = size - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(icon.pixel(corner)), 0);
        QVERIFY2(qAlpha(icon.pixel(size / 2, size / 2)) == 255, "the middle of the face is not opaque");
    }
};

QTEST_MAIN(TestContent)
#include "test_content.moc"
