/*
 * dataplatform.h: the game's services over the real data folder.
 *
 * Reads text files and pictures from the data folder, keeps the picture
 * last loaded for the creature display, and draws from the game's own
 * never-seeded generator. The about box is whatever the front end hands
 * in: the window a dialog; without one (the simulator) it closes at
 * once.
 */
#pragma once

#include "game/platform.h"
#include "game/rnd.h"
#include "services/services.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class DataPlatform : public Platform, public PictureSource
{
public:
    // dataDir is the data folder to read; empty means "dat" beside the
    // program, and dataDir() throws FatalError where the program's folder
    // cannot be found. showAbout, if given, shows the about box and
    // returns once it is closed.
    explicit DataPlatform(QString dataDir = QString(), std::function<void()> showAbout = {});

    QString dataDir() override;
    QStringList readLines(const QString &path) override;
    void loadPicture(const QString &path) override;
    void showAbout() override;
    float rnd() override;

    const QImage &picture() const override { return m_picture; }

private:
    QString m_dataDir;
    std::function<void()> m_showAbout;
    QImage m_picture;
    QByteArray m_pictureBytes; // the file m_picture was decoded from
    Rnd m_rnd;
};
