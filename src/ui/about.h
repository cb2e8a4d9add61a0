/*
 * about.h: the about box, and the error box that ends the game.
 */
#pragma once

#include "services/services.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class FatalError;

// The about box's three lines, joined by CR LF: the game's name, its
// version, and who made it.
QString aboutText();

// The about box: modal, OK only, no icon; returns when it is closed.
void showAboutBox(QWidget *parent);

// The about box as the game asks for it, over the window it belongs to.
class AboutDialog : public AboutBox
{
public:
    void setParent(QWidget *parent) { m_parent = parent; }
    void show() override { showAboutBox(m_parent); }

private:
    QPointer<QWidget> m_parent;
};

// Reports what stops the game, with what the player can do about it: in a
// box over parent (or, without one, centred on the screen) and, for a
// game started from a terminal, on stderr.
void reportProblems(const QList<FatalError> &problems, QWidget *parent);
void reportFatalError(const FatalError &error, QWidget *parent);


// A game text's CR LF line ends as Qt's newlines, for labels and boxes.
QString forDisplay(QString text);
