/*
 * readings.h: the game's Japanese in kana, for a voice that reads no kanji.
 *
 * The voices a screen reader speaks through on Debian (espeak-ng) read
 * hiragana and katakana but drop kanji or call them "Chinese letter", so
 * 水をやる is heard as をやる. What the game tells a screen reader is
 * therefore each text's reading: 水をやる as みずをやる. The readings come
 * from MeCab, a morphological analyser, with the IPA dictionary: each
 * word that has kanji is replaced by its reading in hiragana, in the
 * context of its sentence; kana, punctuation and Latin letters stay as
 * they are, so a text all in kana reads as itself.
 *
 * The readings are made once, as a text is first read from the data
 * folder (or, for the game's own words, when the window is made), and
 * looked up later: what a watering or an ending says costs no analysis.
 * While no screen reader listens, the texts only wait: a player without
 * one never pays for the dictionary (about 10 MB and some milliseconds).
 */
#pragma once

#include "game/platform.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace reading {

// Whether the player wants the readings: yes, unless POKOTAMA_READINGS is
// "off" (for a voice that reads kanji itself).
bool wanted();

// Whether text has a character that only a reading can make speakable.
bool hasKanji(const QString &text);

// The reading of text from the analyser, made anew each call; "" where the
// analyser is missing (no dictionary). For the readings' accuracy test.
class Analyser
{
public:
    Analyser();
    ~Analyser();
    Analyser(const Analyser &) = delete;
    Analyser &operator=(const Analyser &) = delete;

    // False, with why() saying so, where MeCab's library or its dictionary
    // could not be loaded.
    bool ready() const { return m_why.isEmpty(); }
    QString why() const { return m_why; }

    QString read(const QString &text);

private:
    struct Tagger;
    Tagger *m_tagger = nullptr;
    QString m_why;
};

// The readings of the texts learnt so far.
class Readings
{
public:
    // on: make readings at all; off, every text is said as it is shown.
    // listening: whether a screen reader listens now; without it, always.
    explicit Readings(bool on = wanted(), std::function<bool()> listening = {});
    ~Readings();

    // Makes the reading of each text that has kanji and is not known yet,
    // a line at a time: a message's lines are looked up one by one. While
    // no reader listens, the texts wait for one.
    void learn(const QStringList &texts);

    // What to say for text: its reading if one was learnt, else text itself.
    // The texts that waited for a reader are read first.
    QString of(const QString &text) const;

    // How many texts the analyser has read, for the tests.
    int analysed() const { return m_analysed; }

private:
    void readWaiting() const;

    bool m_on;
    std::function<bool()> m_listening;
    // What of() finds out first, once: it looks a text up only.
    mutable QStringList m_waiting;
    mutable std::unique_ptr<Analyser> m_analyser; // loaded for the first text with kanji
    mutable QHash<QString, QString> m_known;
    mutable int m_analysed = 0;
    mutable bool m_broken = false; // no dictionary
};

// The game's Platform with the readings learnt of every text it reads: the
// data folder's, whichever folder that is, as the rules read them.
class ReadingPlatform : public Platform
{
public:
    ReadingPlatform(Platform &platform, Readings &readings)
        : m_platform(platform)
        , m_readings(readings)
    {
    }

    QString dataDir() override { return m_platform.dataDir(); }
    QStringList readLines(const QString &path) override;
    void loadPicture(const QString &path) override { m_platform.loadPicture(path); }
    void showAbout() override { m_platform.showAbout(); }
    float rnd() override { return m_platform.rnd(); }

private:
    Platform &m_platform;
    Readings &m_readings;
};

} // namespace reading
