/*
 * contentcheck.h: a content folder checked from a terminal, without a
 * window: pokotama --check.
 *
 * Someone who makes their own むにまる checks the folder without playing
 * it through. First every file the game will read, as the look before the
 * window sees it (services/datacheck.h); then what only a screen would
 * show: every line of text must fit the message area at the smallest
 * screen the game supports, in the game's own face, with a glyph for
 * every character, and an opening or ending must not have more lines than
 * the area holds. Each problem is one line, FILE:LINE: what is wrong, the
 * form that editors and build logs link to; a problem with a file as a
 * whole (missing, not a picture) is given at its line 1.
 */
#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace contentcheck {

// The message area at the smallest screen the game supports, 768 pixels
// high at 96 dpi: the window is about 690 pixels square and the message
// area, its bottom three tenths, about 680 × 200, its text bold italic at
// 15 points, 20 pixels. A line must stay well inside the width, and a text
// (after the empty line the game puts first) inside the height.
inline constexpr int kFontPixels = 20;
inline constexpr int kMaxLineWidth = 640;
inline constexpr int kMessageAreaHeight = 195;
inline constexpr int kMaxTextLines = 5;

// One thing wrong in the folder: the file's path (as given, so it can be
// followed), its line (0 for the file as a whole) and what is wrong there.
struct Problem
{
    QString path;
    qsizetype line = 0;
    QString what;

    friend bool operator==(const Problem &, const Problem &) = default;
};

// The game's face as the message area draws it at the smallest screen.
QFont messageFont();

// What is wrong with the lines of the text file at path, shown in font:
// a line too wide for the message area, a character with no glyph in the
// font or any fallback, bytes that its encoding has no character for
// (undecodable, when the file was read as Shift-JIS or as UTF-8 after a
// byte-order mark). With shownWhole (the opening and the endings, shown
// as a whole, not the message table's lines, shown one at a time) also a
// text with more lines than the area holds. In the order of the lines.
QList<Problem> checkLines(const QString &path, const QStringList &lines, bool undecodable, bool shownWhole,
                          const QFont &font);

// The line "FILE:LINE: what" (a whole file's problem at line 1).
QString problemLine(const Problem &problem);

// Checks the content folder dataDir (its path ends in a slash) and writes
// to out, for each text file, which encoding and line ends it was read
// with, and every problem; the last line counts them. Needs a
// QGuiApplication, on any platform (the offscreen one serves). Returns 0
// if the folder is good, 1 if not.
int checkFolder(const QString &dataDir, std::FILE *out);

} // namespace contentcheck
