/*
 * textfile.h: reading files from the data folder, and Shift-JIS text.
 *
 * The game's text files are Shift-JIS (Windows code page 932). A line ends
 * at CR LF, at a lone LF or at a lone CR, so files edited on Linux read the
 * same as files made on Windows; a last line without a line end is still a
 * line, and nothing after the last line end counts as an extra empty line.
 * Bytes that are not valid code page 932 become U+FFFD and reading goes on.
 * A file saved as UTF-8 by an editor reads as UTF-8: one that starts with
 * the byte-order mark (EF BB BF), without the mark, and one that is valid
 * UTF-8 as a whole and has bytes above 7F (Shift-JIS with Japanese in it
 * practically never is).
 *
 * File names are looked up as UTF-8 first and then, if no such file exists,
 * as the same name in code page 932 bytes: a data folder unpacked from an
 * archive made on Windows keeps Shift-JIS file names.
 */
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace data {

// No data file of ours comes near this; a bigger one is a broken file, and
// refusing it keeps a bad archive from eating the player's memory.
inline constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// Nor does any text of ours come near this many lines. Each line is a
// string of its own, so a file of nothing but line ends would otherwise
// take many times its size in memory.
inline constexpr qsizetype kMaxTextLines = 1000000;

// Throws FatalError if the data folder at folder (no slash at the end) is
// missing or is not a folder.
void requireFolder(const QString &folder);

// The whole content of the file at path. Throws FatalError naming the file
// when it is missing (or its folder is), is a folder, cannot be read, or is
// larger than kMaxDataFileBytes.
QByteArray readDataFile(const QString &path);

inline constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF", 3);

// How decodeLines read a file's bytes.
enum class Encoding { ShiftJis, Utf8, Utf8WithMark };

// Bytes in code page 932 (or UTF-8, as above) to lines of text, without
// their line ends; readAs, if given, learns which of the two it was.
// Throws FatalError if this computer has no code page 932 decoder.
QStringList decodeLines(QByteArrayView bytes, Encoding *readAs = nullptr);

// readDataFile, then decodeLines. Throws FatalError naming the file as
// readDataFile does, and for a file of more than kMaxTextLines lines.
QStringList readTextFile(const QString &path);

// The name in code page 932 bytes, or an empty array if some character of it
// has no code page 932 form.
QByteArray encodeCp932(const QString &name);

} // namespace data
