/*
 * about.h: the about box, and the error box that ends the game.
 */
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class FatalError;

// The about box's three lines, joined by CR LF: the game's name, its
// version, and who made it.
QString aboutText();

// The about box: modal, OK only, no icon; returns when it is closed.
void showAboutBox(QWidget *parent);

// Reports what stops the game, with what the player can do about it: in a
// box over parent (or, without one, centred on the screen) and, for a
// game started from a terminal, on stderr.
void reportProblems(const QList<FatalError> &problems, QWidget *parent);

// The game plays a content folder of the player's own (pokotama --data):
// the advice after the problems is then to mend that folder, which
// pokotama --check looks over, not to restore or reinstall the game.
void playingOwnFolder(const QString &folder);

// A game text's CR LF line ends as Qt's newlines, for labels and boxes.
QString forDisplay(QString text);
