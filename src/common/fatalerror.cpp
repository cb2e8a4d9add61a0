/*
 * fatalerror.cpp: the bilingual error that stops the game.
 */
#include "common/fatalerror.h"

#include "common/systemtext.h"

FatalError::FatalError(QString japanese, QString english)
    : m_japanese(systemtext::shown(japanese))
    , m_english(systemtext::shown(english))
    , m_utf8(message().toUtf8())
{
}

QString FatalError::message() const
{
    return m_japanese + u'\n' + m_english;
}

FatalError &FatalError::refused(QString path, QString reason)
{
    m_path = std::move(path);
    m_reason = std::move(reason);
    return *this;
}

FatalError &FatalError::at(QString path, qsizetype line, QString problem)
{
    m_path = std::move(path);
    m_line = line;
    m_problem = std::move(problem);
    return *this;
}
