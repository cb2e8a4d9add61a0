/*
 * textfile.cpp: data files by name, and Shift-JIS text split into lines.
 */
#include "data/textfile.h"

#include "common/fatalerror.h"
#include "common/systemtext.h"

#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace data {

namespace {

// ICU's decoder for code page 932 (the one Debian's Qt uses) is IBM's
// variant: it swaps three control bytes (1A, 1C, 7F) and writes U+001A for
// every byte it cannot decode. Undo the swap, and make the undecodable
// bytes the usual replacement character so a player sees where they were.
void repairIcuControls(QString &text)
{
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0x001C: c = QChar(0x001A); break; // byte 1A
        case 0x007F: c = QChar(0x001C); break; // byte 1C
        case 0x001A: c = QChar(0xFFFD); break; // byte 7F, or an undecodable byte
        default: break;
        }
    }
}

[[noreturn]] void throwMissing(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    requireFolder(slash < 0 ? QStringLiteral(".") : path.left(std::max<qsizetype>(slash, 1)));
    throw FatalError(QStringLiteral("データファイル %1 が見つかりません。").arg(path),
                     QStringLiteral("The data file %1 is missing.").arg(path))
            .at(path, 0, QStringLiteral("the file is missing."));
}

[[noreturn]] void throwUnreadable(const QString &path, const QString &why)
{
    throw FatalError(QStringLiteral("データファイル %1 を読めません（%2）。").arg(path, why),
                     QStringLiteral("Cannot read the data file %1 (%2).").arg(path, why))
            .at(path, 0, QStringLiteral("the file cannot be read (%1).").arg(why))
            .refused(path, why);
}

[[noreturn]] void throwTooLarge(const QString &path, qint64 size)
{
    throw FatalError(QStringLiteral("データファイル %1 が大きすぎます（%2 バイト、上限 %3 バイト）。")
                             .arg(path).arg(size).arg(kMaxDataFileBytes),
                     QStringLiteral("The data file %1 is too large (%2 bytes, at most %3).")
                             .arg(path).arg(size).arg(kMaxDataFileBytes))
            .at(path, 0, QStringLiteral("the file is too large (%1 bytes, at most %2).").arg(size).arg(kMaxDataFileBytes));
}

// Opens path for reading, trying its file name in code page 932 bytes when
// the UTF-8 name does not exist. Returns the descriptor or throws.
int openDataFile(const QString &path)
{
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for
    // a writer that never comes; readDataFile refuses anything but a regular
    // file, and on a regular file the flag changes nothing.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    // The path's own bytes: the folder may have a name that is no UTF-8.
    const QByteArray native = systemtext::toBytes(path);
    int fd = ::open(native.constData(), flags);
    if (fd < 0 && errno == ENOENT) {
        const qsizetype slash = path.lastIndexOf(u'/');
        const QByteArray sjisName = encodeCp932(path.mid(slash + 1));
        const QByteArray sjisPath = systemtext::toBytes(path.left(slash + 1)) + sjisName;
        if (!sjisName.isEmpty() && sjisPath != native)
            fd = ::open(sjisPath.constData(), flags);
        if (fd < 0)
            throwMissing(path);
    }
    if (fd < 0) {
        if (errno == ENOTDIR)
            throwMissing(path);
        throwUnreadable(path, systemtext::reason(errno));
    }
    return fd;
}

} // namespace

void requireFolder(const QString &folder)
{
    struct stat info {};
    const bool exists = ::stat(systemtext::toBytes(folder).constData(), &info) == 0;
    if (exists && !S_ISDIR(info.st_mode))
        throw FatalError(QStringLiteral("データフォルダ %1 はフォルダではありません。").arg(folder),
                         QStringLiteral("The data folder %1 is not a folder.").arg(folder));
    if (!exists)
        throw FatalError(QStringLiteral("データフォルダ %1 が見つかりません。").arg(folder),
                         QStringLiteral("The data folder %1 is missing.").arg(folder));
}

QByteArray encodeCp932(const QString &name)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        return {};
    QByteArray bytes = encoder.encode(name);
    if (encoder.hasError())
        return {};
    return bytes;
}

QByteArray readDataFile(const QString &path)
{
    const int fd = openDataFile(path);
    // Read by hand rather than through QFile: its error texts are the
    // locale's, in an encoding it may not read.
    const auto closer = qScopeGuard([fd] { ::close(fd); });

    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throwUnreadable(path, systemtext::reason(errno));
    if (S_ISDIR(info.st_mode))
        throw FatalError(QStringLiteral("%1 はファイルではなくフォルダです。").arg(path),
                         QStringLiteral("%1 is a folder, not a file.").arg(path))
                .at(path, 0, QStringLiteral("this is a folder, not a file."));
    // A device or a pipe in the data folder could be read forever.
    if (!S_ISREG(info.st_mode))
        throw FatalError(QStringLiteral("%1 は普通のファイルではありません。").arg(path),
                         QStringLiteral("%1 is not a regular file.").arg(path))
                .at(path, 0, QStringLiteral("this is not a regular file."));
    if (info.st_size > kMaxDataFileBytes)
        throwTooLarge(path, info.st_size);

    // One byte more than the file's size, so the read that meets its end
    // needs no more room.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        // The file may have grown since fstat: read on to its real end,
        // one byte past the limit at most.
        if (filled == bytes.size()) {
            if (filled > kMaxDataFileBytes)
                throwTooLarge(path, filled);
            bytes.resize(std::min<qsizetype>(std::max<qsizetype>(filled * 2, 4096), kMaxDataFileBytes + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throwUnreadable(path, systemtext::reason(errno));
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

QStringList decodeLines(QByteArrayView bytes, Encoding *readAs)
{
    // A text editor that saves as UTF-8 may put the byte-order mark EF BB BF
    // first (Windows Notepad does). EF BB is no character in code page 932,
    // so no Shift-JIS file starts this way: such a file is read as UTF-8,
    // without the mark, and says what its author wrote.
    const bool marked = bytes.startsWith(kUtf8ByteOrderMark);
    if (marked)
        bytes = bytes.sliced(kUtf8ByteOrderMark.size());
    if (readAs)
        *readAs = marked ? Encoding::Utf8WithMark : Encoding::ShiftJis;
    if (bytes.isEmpty())
        return {};

    // Decode the whole file at once; CR and LF never occur inside a
    // character of either encoding, so splitting the decoded text is the
    // same as splitting the bytes.
    QString text;
    // Stateless: a sequence cut short at the very end is an error (in a
    // marked file, U+FFFD). The mark is gone already; a second one is kept
    // as a character.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    // Most editors on Linux save UTF-8 without a mark. Japanese text in
    // Shift-JIS is practically never valid UTF-8 as a whole: its lead bytes
    // 81 to 9F are UTF-8 continuation bytes.
    const bool utf8Likely = marked || std::ranges::any_of(bytes, [](char c) { return (c & 0x80) != 0; });
    if (utf8Likely)
        text = utf8.decode(bytes);
    if (utf8Likely && !marked && !utf8.hasError() && readAs)
        *readAs = Encoding::Utf8;
    if (!marked && (!utf8Likely || utf8.hasError())) {
        QStringDecoder decoder("windows-31j");
        if (!decoder.isValid())
            throw FatalError(QStringLiteral("このコンピュータには Shift-JIS（コードページ 932）の文字コード変換がありません。"),
                             QStringLiteral("This computer has no decoder for Shift-JIS (code page 932)."));
        text = decoder.decode(bytes);
        // ICU holds back a lead byte left dangling at the very end; a line
        // end after it makes it come out as an undecodable byte rather than
        // vanish.
        const char last = bytes.back();
        if (last != '\n' && last != '\r')
            text += decoder.decode(QByteArrayView("\n", 1));
        repairIcuControls(text);
    }

    // Split by hand, in one pass: QString::replace, to make every line end
    // an LF first, grows far faster than the file on many CR LFs.
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    // A last line without a line end is still a line.
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList readTextFile(const QString &path)
{
    const QByteArray bytes = readDataFile(path);
    // Count the lines before making them, by the same rule as decodeLines:
    // CR and LF bytes are line ends in either encoding.
    qsizetype lines = bytes.count('\n') + bytes.count('\r') - bytes.count("\r\n");
    if (!bytes.isEmpty() && bytes.back() != '\n' && bytes.back() != '\r')
        ++lines;
    if (lines > kMaxTextLines)
        throw FatalError(QStringLiteral("データファイル %1 の行が多すぎます（%2 行、上限 %3 行）。")
                                 .arg(path).arg(lines).arg(kMaxTextLines),
                         QStringLiteral("The data file %1 has too many lines (%2, at most %3).")
                                 .arg(path).arg(lines).arg(kMaxTextLines))
                .at(path, 0, QStringLiteral("too many lines (%1, at most %2).").arg(lines).arg(kMaxTextLines));
    return decodeLines(bytes);
}

} // namespace data
