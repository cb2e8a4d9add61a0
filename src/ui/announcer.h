/*
 * announcer.h: what a screen reader says of the game as it happens.
 *
 * The keyboard focus stays on the button for the whole game, and screen
 * readers speak little besides the focused control: not a label's new
 * text, not a new picture, not a gauge's colour. So after each event the
 * window works out the news itself, from the game's state before and
 * after, and hands it to the reader as one utterance: the opening text and
 * はじめぃ at a round start, 水をやる once it runs, the line むにまる says
 * at a watering, the growth message at a stage-up, a change of the gauge's
 * colour, an ending's text, and やりなおし～ once the button takes presses
 * again. One utterance per event, so that a reader that queues them never
 * loses one to the next.
 *
 * How it reaches the reader depends on the Qt the game is built with: from
 * Qt 6.8 an announcement event on the window; before, a notification
 * shown in the window, the one thing Orca speaks on every version. Readers
 * that pair with Qt 6.8 speak the focused button's new caption by
 * themselves, so there the news leaves the captions out and nothing is
 * said twice.
 *
 * What is told is the news's kana reading (see reading/readings.h), where
 * the player has the readings on: the labels show the texts as they are.
 */
#pragma once

#include "game/fom.h"
#include "reading/readings.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// Whether the reader speaks the button's new caption by itself.
inline constexpr bool kReaderSpeaksCaptions = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0);

// The part of the game's state that a player hears of.
struct Moment
{
    QString caption;
    QString message;
    qint16 stage = 0;
    std::uint32_t colour = colour::kRed;
};

Moment momentOf(const Fom &fom);

// Every text of the game's own that the news can hold, apart from the
// data folder's: the captions, the stage-up messages, the gauge's words.
QStringList gameWords();

// A message as one line to speak: its lines in order, each as readings
// has it, blank ones left out.
QString spokenMessage(const QString &message, const reading::Readings &readings);

// The news of one event that took the game from before to after, "" when
// there is none, in the words readings gives. clicked: the event was a
// click of the button. captions: whether the button's captions belong in
// the news.
QString news(const Moment &before, const Moment &after, bool clicked, const reading::Readings &readings,
             bool captions = !kReaderSpeaksCaptions);

// The gauge as the player asks for it: its level in percent of the
// gauge's length, as a reader gives a progress bar's value, and its colour.
QString levelNews(const ShapeState &bar, const reading::Readings &readings);

// Whether an event took the game to a new round: the news held before it
// is of a round nobody will play.
bool startsRound(const Moment &before, const Moment &after);

// Hands news to the screen reader. Its notices live in home, unseen;
// announcements go to home's window. Learns the readings of gameWords().
class Announcer : public QObject
{
public:
    Announcer(QWidget *home, reading::Readings &readings);

    // News worked out as it is told: its readings are made only once a
    // screen reader listens, which may be after the event.
    using News = std::function<QString()>;

    // roundStart: the news opens a new round (see startsRound).
    void say(const News &news, bool roundStart = false);
    void say(const QString &text, bool roundStart = false);

    // The window has been activated. Until its first activation the news
    // waits: a reader speaks only of the window it knows to be active, and
    // the first round starts as the window shows, before that. Only the
    // news since the last round start waits, so a window never activated
    // holds one round's worth.
    void windowActivated();

private:
    void tell(const QString &text);

    QWidget *m_home;
    bool m_activated = false;
    QList<News> m_held;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Notices already shown keep their text: a reader that comes to one
    // late still reads its own news, not the next one.
    QList<QWidget *> m_notices;
    qsizetype m_next = 0;
#else
    // The last announcements told, to keep a repeat apart from them.
    QStringList m_recent;
#endif
};
