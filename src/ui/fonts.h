/*
 * fonts.h: the game's font: its Japanese face at a size, regular or bold
 * italic (the message area's).
 */
#pragma once

#include <QFont>

QFont gameFont(double points, bool boldItalic);
