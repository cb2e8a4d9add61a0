/*
 * systemtext.cpp: file names as bytes, and the system's reasons in English.
 */
#include "common/systemtext.h"

#include <QStringDecoder>

#include <cstring>
#include <langinfo.h>

namespace systemtext {

namespace {

constexpr char16_t kKeptByte = 0xDC00;

bool isKeptByte(char16_t unit)
{
    return unit >= kKeptByte + 0x80 && unit <= kKeptByte + 0xFF;
}

// The length of the valid UTF-8 sequence at the start of bytes (shortest
// form, no surrogates, at most U+10FFFF), or 0 if there is none.
qsizetype utf8Sequence(QByteArrayView bytes, char32_t &code)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    qsizetype length;
    char32_t minimum;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at(i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
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
        char32_t code = 0;
        const qsizetype length = utf8Sequence(bytes, code);
        if (length == 0) {
            name += QChar(char16_t(kKeptByte + static_cast<unsigned char>(bytes[0])));
            bytes = bytes.sliced(1);
            continue;
        }
        name += QChar::fromUcs4(code);
        bytes = bytes.sliced(length);
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
