/*
 * memoryplatform.h: the one Platform double, with the data folder in memory.
 *
 * Files and pictures are kept by path, filled with small texts that say
 * where they come from (addStandardData) or read once from a real data
 * folder (readFolder). Random draws can be scripted one by one (after the
 * script runs out, the game's own generator takes over), and picture loads,
 * draws and about boxes are counted for the tests, the soak and the fuzzer.
 */
#pragma once

#include "common/fatalerror.h"
#include "data/datadir.h"
#include "data/picture.h"
#include "data/textfile.h"
#include "game/fom.h"
#include "game/platform.h"
#include "game/rnd.h"
#include "game/texts.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>

class MemoryPlatform : public Platform
{
public:
    QString dir = QStringLiteral("/game/dat/");
    QHash<QString, QStringList> files; // by full path
    QSet<QString> pictures;            // full paths of pictures that load
    std::int64_t pictureLoads = 0;     // every load, the same picture again too
    std::deque<float> draws;           // scripted draws, used first
    int aboutBoxes = 0;
    std::int64_t drawn = 0;            // random numbers drawn, scripted or not
    std::function<void()> onAbout; // runs while the about box is "open"

    QString dataDir() override { return dir; }

    QStringList readLines(const QString &path) override
    {
        const auto it = files.constFind(path);
        if (it == files.constEnd())
            throw FatalError(QStringLiteral("ない: %1").arg(path), QStringLiteral("missing: %1").arg(path));
        return *it;
    }

    void loadPicture(const QString &path) override
    {
        if (!pictures.contains(path))
            throw FatalError(QStringLiteral("ない: %1").arg(path), QStringLiteral("missing: %1").arg(path));
        ++pictureLoads;
        m_lastPicture = path;
    }

    void showAbout() override
    {
        ++aboutBoxes;
        if (onAbout)
            onAbout();
    }

    float rnd() override
    {
        ++drawn;
        if (draws.empty())
            return m_rnd.next();
        const float value = draws.front();
        draws.pop_front();
        return value;
    }

    void addText(const QString &base, const QStringList &lines) { files[dir + base + texts::kTextSuffix] = lines; }
    void addPicture(const QString &name) { pictures.insert(dir + name + texts::kPictureSuffix); }

    // A complete data folder: the opening, three endings, a message table
    // whose lines say where they come from ("g2 l7"), and every picture.
    void addStandardData()
    {
        addText(texts::kOpening, {"opening 1", "opening 2"});
        addText(texts::kLove, {"love 1", "love 2"});
        addText(texts::kWither, {"wither 1"});
        addText(texts::kRot, {"rot 1", "", "rot 3"});
        QStringList table;
        for (int g = 0; g < 5; ++g) {
            if (g > 0)
                table << QStringLiteral(">");
            for (int l = 0; l < 10; ++l)
                table << QStringLiteral("g%1 l%2").arg(g).arg(l);
        }
        addText(texts::kMessages, table);
        for (const QString &name : texts::kPictureFiles)
            addPicture(name);
    }

    // The real data folder at folder, read once and kept: every text, and
    // every picture that decodes. Throws FatalError as the game would.
    void readFolder(const QString &folder)
    {
        dir = data::withTrailingSlash(folder);
        for (const QString &name : texts::kTextFiles)
            files[dir + name + texts::kTextSuffix] = data::readTextFile(dir + name + texts::kTextSuffix);
        for (const QString &name : texts::kPictureFiles) {
            data::loadPicture(dir + name + texts::kPictureSuffix);
            addPicture(name);
        }
    }

    QString lastPicture() const { return m_lastPicture; }

private:
    Rnd m_rnd;
    QString m_lastPicture;
};

// Draws that make the game's single-precision arithmetic give a chosen
// whole number: Int(Rnd × 100 + 10) = n, Int(Rnd × 100) = n, Int(Rnd × 10) = n.
inline float drawForEvaporation(int n) { return (float(n - 10) + 0.5f) / 100.0f; }
inline float drawForPercent(int n) { return (float(n) + 0.5f) / 100.0f; }
inline float drawForTenth(int n) { return (float(n) + 0.5f) / 10.0f; }

// A game with the standard data, loaded and on its first activation: the
// button reads はじめぃ.
struct Game
{
    MemoryPlatform platform;
    Fom fom{platform};

    Game()
    {
        platform.addStandardData();
        fom.LoadForm();
        fom.FormActivate();
    }

    // Clicks はじめぃ so the growth clock runs.
    void start() { fom.ButtonClick(); }

    // One tick that evaporates exactly r.
    void tick(int r)
    {
        platform.draws.push_back(drawForEvaporation(r));
        fom.GrowthTick();
    }

    // One watering with amount a, rot roll x and message line k.
    void water(int a, int x, int k = 0)
    {
        platform.draws.push_back(drawForPercent(a - 10));
        platform.draws.push_back(drawForPercent(x));
        platform.draws.push_back(drawForTenth(k));
        fom.ButtonClick();
        // A watering that rots leaves its third draw unused.
        platform.draws.clear();
    }

    QString path(const QString &file) const { return platform.dir + file; }
};
