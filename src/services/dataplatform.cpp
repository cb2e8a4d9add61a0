/*
 * dataplatform.cpp: files, pictures and random numbers for the real game.
 */
#include "services/dataplatform.h"

#include "data/datadir.h"
#include "data/picture.h"
#include "data/textfile.h"

DataPlatform::DataPlatform(QString dataDir, std::function<void()> showAbout)
    : m_dataDir(std::move(dataDir))
    , m_showAbout(std::move(showAbout))
{
}

QString DataPlatform::dataDir()
{
    if (!m_dataDir.isEmpty())
        return data::withTrailingSlash(m_dataDir);
    return data::resolveDataDir(data::programFolder());
}

QStringList DataPlatform::readLines(const QString &path)
{
    return data::readTextFile(path);
}

void DataPlatform::loadPicture(const QString &path)
{
    // Every watering loads the stage's picture again. The file is read each
    // time, so a changed, broken or missing file shows at once; the same
    // bytes as the picture shown need no decoding and leave it as it is.
    QByteArray bytes = data::readDataFile(path);
    if (!m_picture.isNull() && bytes == m_pictureBytes)
        return;
    // The last picture goes before the next is decoded, so that a stage-up
    // never holds both (1 MB each at 512 x 512). Nothing else holds it: the
    // window shows this one.
    m_picture = QImage();
    m_picture = data::decodePicture(bytes, path);
    m_pictureBytes = std::move(bytes);
}

void DataPlatform::showAbout()
{
    if (m_showAbout)
        m_showAbout();
}

float DataPlatform::rnd()
{
    return m_rnd.next();
}
