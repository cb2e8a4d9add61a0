/*
 * fuzz_picture.cpp: libFuzzer target for the game's pictures.
 *
 * Every input is taken as the bytes of a picture file: it must either give
 * a picture within our size bounds or stop with an error naming the file.
 * What this mostly exercises is our own code around Qt's readers: the size
 * bounds and the checks that refuse a picture whose file is cut short.
 */
#include "common/fatalerror.h"
#include "data/picture.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    // Qt's readers warn about every broken file; a million of them say nothing new.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = QStringLiteral("/fuzz/dat/0.dat");
    try {
        const QImage image =
            data::decodePicture(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), path);
        if (image.isNull() || image.width() > data::kMaxPictureSide || image.height() > data::kMaxPictureSide
            || qint64(image.width()) * image.height() > data::kMaxPicturePixels) {
            std::fprintf(stderr, "fuzz_picture: a picture outside the bounds was accepted\n");
            std::abort();
        }
    } catch (const FatalError &error) {
        if (!error.english().startsWith(QStringLiteral("Cannot read the picture ") + path)) {
            std::fprintf(stderr, "fuzz_picture: an error does not name the file\n");
            std::abort();
        }
    }
    return 0;
}
