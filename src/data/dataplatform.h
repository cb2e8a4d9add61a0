/*
 * dataplatform.h: the game's services over the real data folder.
 *
 * Reads text files and pictures from the data folder, keeps the picture
 * last loaded for the creature display, and draws from the game's own
 * never-seeded generator. How the about box appears is up to the front
 * end: the window shows a dialog, the replay driver closes it at once.
 */
#pragma once

#include "game/platform.h"
#include "game/rnd.h"

#include <QImage>

#include <functional>

class DataPlatform : public Platform
{
public:
    // dataDir is the data folder to read; empty means "dat" beside the program.
    explicit DataPlatform(QString dataDir = QString());

    QString dataDir() override;
    QStringList readLines(const QString &path) override;
    void loadPicture(const QString &path) override;
    void showAbout() override;
    float rnd() override;

    // Called by showAbout(); returns once the box is closed. Unset: the box
    // closes at once.
    void setAboutBox(std::function<void()> aboutBox) { m_aboutBox = std::move(aboutBox); }

    // The picture last loaded, for the creature display.
    const QImage &picture() const { return m_picture; }

private:
    QString m_dataDir;
    QImage m_picture;
    QByteArray m_pictureBytes; // the file m_picture was decoded from
    Rnd m_rnd;
    std::function<void()> m_aboutBox;
};
