/*
 * messagetable.h: what むにまる says when it is watered, by growth stage.
 *
 * The file muni.tad holds one group of lines per stage, stage 0 first.
 * A line that is exactly ">" ends a group and starts the next; it is never
 * stored itself, and the line after it is always taken as a message, even
 * if it is ">" too. Every other line is stored as it is, spaces and all.
 * A group holds up to 11 lines (only the first 10 are ever shown), and
 * there are at most 5 groups; what the file does not fill stays empty.
 */
#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace data {

inline constexpr int kGroups = 5;          // one group per growth stage, 0 to 4
inline constexpr int kLinesPerGroup = 11;  // lines 0 to 10; line 10 is never shown

// StageMsg(group, line): entries[group][line].
using MessageTable = std::array<std::array<QString, kLinesPerGroup>, kGroups>;

// Fills a table from the lines of the file at path (the path only names the
// file in errors). Throws FatalError with the line number for a sixth
// group, a twelfth line in a group, or a file that ends right after ">".
MessageTable loadMessageTable(const QStringList &lines, const QString &path);

} // namespace data
