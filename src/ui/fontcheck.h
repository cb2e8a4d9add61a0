/*
 * fontcheck.h: whether this computer can draw the game's Japanese.
 *
 * With no Japanese font installed, Qt draws every kana and kanji as an
 * empty box, the button's caption included, and says nothing: the player
 * sees a game that cannot be played and no reason why. So before the
 * window opens, the game lays out its own fixed texts in its font, with
 * every fallback fontconfig offers, and stops with a word (in English,
 * which any font draws) if some character has no glyph.
 */
#pragma once

#include <QFont>
#include <QString>

// The characters of text, each once, that font draws as no glyph at all
// even with fontconfig's fallbacks; empty if it draws them all.
QString undrawableCharacters(const QString &text, const QFont &font);

// Every text fixed in the game: button captions, title, stage titles,
// speeches, the growth message and the about box.
QString gameTexts();

// Checks gameTexts() in the game's font. If some of it cannot be drawn,
// says so on stderr and in a box, and returns false.
bool checkGameFont();
