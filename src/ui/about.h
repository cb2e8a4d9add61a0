/*
 * about.h: the about box, and the error box that ends the game.
 */
#pragma once

#include "platform/services.h"

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

// Reports an error that ends the game: on stderr, since a game started from
// a desktop menu has no terminal to show it, and in a dialog.
void reportFatalError(const FatalError &error, QWidget *parent);

// A game text's CR LF line ends as Qt's newlines, for labels and boxes.
QString forDisplay(QString text);
