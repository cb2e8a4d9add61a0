/*
 * fuzz_textfile.cpp: libFuzzer target for the text side of the data folder.
 *
 * Every input is taken as the bytes of a text file: decoded into lines as
 * the game reads opn.tad or an ending text, then loaded as the message
 * table muni.tad. Besides crashes and sanitizer reports it checks what the
 * line reader promises: no line holds a line end, every line end in the
 * bytes makes exactly one line (an undecodable byte never swallows one),
 * plain ASCII comes through unchanged, and the table either loads or stops
 * with an error that names the file and a line.
 */
#include "common/fatalerror.h"
#include "data/messagetable.h"
#include "data/textfile.h"

#include <QByteArrayView>
#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_textfile: %s\n", what);
    std::abort();
}

// The lines the bytes hold, by the line-end rule alone: CR LF, CR or LF
// ends a line, and a last line without an end still counts. A UTF-8
// byte-order mark at the start is no part of any line.
qsizetype expectedLineCount(QByteArrayView bytes)
{
    if (bytes.startsWith(data::kUtf8ByteOrderMark))
        bytes = bytes.sliced(data::kUtf8ByteOrderMark.size());
    qsizetype count = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            ++count;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (bytes[i] == '\n') {
            ++count;
        }
    }
    if (!bytes.isEmpty() && bytes.back() != '\r' && bytes.back() != '\n')
        ++count;
    return count;
}

bool plainAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x7F)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = data::decodeLines(bytes);

    for (const QString &line : lines)
        if (line.contains(u'\r') || line.contains(u'\n'))
            fail("a decoded line holds a line end");
    if (lines.size() != expectedLineCount(bytes))
        fail("the number of lines is not the number of line ends in the bytes");

    // Bytes below 7F are the same characters in code page 932 and ASCII.
    if (plainAscii(bytes)) {
        qsizetype at = 0;
        for (const QString &line : lines) {
            if (line != QLatin1StringView(bytes.data() + at, line.size()))
                fail("plain ASCII did not decode to itself");
            at += line.size();
            if (at < bytes.size() && bytes[at] == '\r') {
                ++at;
                if (at < bytes.size() && bytes[at] == '\n')
                    ++at;
            } else if (at < bytes.size() && bytes[at] == '\n') {
                ++at;
            }
        }
    }

    const QString path = QStringLiteral("/fuzz/dat/muni.tad");
    try {
        const data::MessageTable table = data::loadMessageTable(lines, path);
        qsizetype stored = 0;
        for (const auto &group : table)
            for (const QString &entry : group)
                stored += entry.isEmpty() ? 0 : 1;
        if (stored > lines.size())
            fail("the table holds more messages than the file has lines");
    } catch (const FatalError &error) {
        if (!error.english().startsWith(QStringLiteral("Message table ") + path + QStringLiteral(", line ")))
            fail("a table error does not name the file and the line");
    }
    return 0;
}
