/*
 * fonts.h: the game's font: its Japanese face at a size, regular or bold
 * italic (the message area's).
 */
#pragma once

#include <QFont>
#include <QStringList>

QFont gameFont(double points, bool boldItalic);

// The Japanese faces the game asks for, the one it prefers first; it
// takes the first of them installed here.
const QStringList &gameFontFamilies();

// Loads fontconfig's configuration and its caches of every installed font,
// which Qt's font database is made from. Safe to call from any thread, and
// once loaded the next call returns at once.
void loadFontConfiguration();
