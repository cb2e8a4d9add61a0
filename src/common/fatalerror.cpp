/*
 * fatalerror.cpp: the bilingual error that stops the game.
 */
#include "common/fatalerror.h"

FatalError::FatalError(QString japanese, QString english)
    : m_japanese(std::move(japanese))
    , m_english(std::move(english))
    , m_utf8(message().toUtf8())
{
}

QString FatalError::message() const
{
    return m_japanese + u'\n' + m_english;
}
