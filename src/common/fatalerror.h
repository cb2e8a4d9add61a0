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
    // File names in the lines may hold bytes that are no UTF-8 (see
    // common/systemtext.h): the lines keep them in a form a player can read.
    FatalError(QString japanese, QString english);

    // For a file the system refused: its path and the system's reason, so
    // that a list of many files refused for one reason can say it once.
    FatalError &refused(QString path, QString reason);
    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }

    // Where in the data folder the problem lies, for a list that editors
    // and build logs link to: the file, the line (0 for the file as a
    // whole) and what is wrong there, in English, without the file's name.
    FatalError &at(QString path, qsizetype line, QString problem);
    qsizetype line() const { return m_line; }
    const QString &problem() const { return m_problem; }

    const QString &japanese() const { return m_japanese; }
    const QString &english() const { return m_english; }

    // Both lines, Japanese first, joined by a newline.
    QString message() const;

    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_japanese;
    QString m_english;
    QString m_path;
    QString m_reason;
    qsizetype m_line = 0;
    QString m_problem;
    QByteArray m_utf8;
};
