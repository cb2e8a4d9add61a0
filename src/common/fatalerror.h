/*
 * fatalerror.h: the one kind of failure that stops the game.
 *
 * A missing or broken data file, a message table that does not fit, or a
 * counter that leaves its 16-bit range ends the game. The error carries one
 * line in Japanese and one in English, naming the file (and for the message
 * table the line) so a player can see what to fix. The front ends turn it
 * into a dialog or a line on stderr and exit with status 1.
 */
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

class FatalError : public std::exception
{
public:
    FatalError(QString japanese, QString english);

    const QString &japanese() const { return m_japanese; }
    const QString &english() const { return m_english; }

    // Both lines, Japanese first, joined by a newline.
    QString message() const;

    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_japanese;
    QString m_english;
    QByteArray m_utf8;
};
