/*
 * systemtext.cpp: file names as bytes, and the system's reasons in English.
 */
#include "common/systemtext.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <langinfo.h>

namespace systemtext {

namespace {

constexpr char16_t kKeptByte = 0xDC00;

bool isKeptByte(char16_t unit)
{
    return unit >= kKeptByte + 0x80 && unit <= kKeptByte + 0xFF;
}

// The locale's character set, when it is neither UTF-8 nor plain ASCII:
// only then can bytes that are not UTF-8 be text in it.
QByteArray otherCharset()
{
    const QByteArray charset(nl_langinfo(CODESET));
    if (charset.isEmpty() || charset == "UTF-8" || charset == "ANSI_X3.4-1968")
        return {};
    return charset;
}

QString asHex(QStringView run)
{
    QString text;
    for (const QChar c : run) {
        if (isKeptByte(c.unicode()))
            text += QStringLiteral("\\x") + QString::number(c.unicode() - kKeptByte, 16).toUpper();
        else
            text += c;
    }
    return text;
}

// A stretch of a name that holds kept bytes, its other characters not
// ASCII: in a locale whose encoding is not UTF-8 it may be text in that
// encoding (some of whose byte pairs happen to be valid UTF-8).
QString shownRun(QStringView run)
{
    const QByteArray charset = otherCharset();
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
        if (decoder.isValid()) {
            QString text = decoder.decode(toBytes(run));
            if (!decoder.hasError())
                return text;
        }
    }
    return asHex(run);
}

} // namespace

QString fromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        // The sequence its first byte starts. Qt's decoder knows UTF-8's
        // rules (shortest form, no surrogates, at most U+10FFFF): a sequence
        // is valid exactly when encoding what it decodes to gives it back.
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const QByteArrayView sequence = bytes.first(std::min(length, bytes.size()));
        const QString character = QString::fromUtf8(sequence);
        if (character.toUtf8() == sequence) {
            name += character;
            bytes = bytes.sliced(sequence.size());
        } else {
            name += QChar(char16_t(kKeptByte + lead));
            bytes = bytes.sliced(1);
        }
    }
    return name;
}

QByteArray toBytes(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isKeptByte(name[i].unicode()))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kKeptByte);
        start = i + 1;
    }
    return bytes;
}

QString shown(QStringView text)
{
    const auto inRun = [&](qsizetype i) { return text[i].unicode() > 0x7F; };
    QString result;
    qsizetype done = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isKeptByte(text[i].unicode()))
            continue;
        qsizetype first = i;
        while (first > done && inRun(first - 1))
            --first;
        qsizetype last = i;
        while (last + 1 < text.size() && inRun(last + 1))
            ++last;
        result += text.sliced(done, first - done);
        result += shownRun(text.sliced(first, last + 1 - first));
        done = i = last + 1;
    }
    result += text.sliced(done);
    return result;
}

QString reason(int error)
{
    // glibc's untranslated text; strerror() gives the locale's words.
    if (const char *text = strerrordesc_np(error))
        return QString::fromLatin1(text);
    return QStringLiteral("error %1").arg(error);
}

} // namespace systemtext
