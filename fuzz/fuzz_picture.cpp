/*
 * fuzz_picture.cpp: libFuzzer target for the game's pictures.
 *
 * Every input is taken as the bytes of a picture file: it must either give
 * a picture within our size bounds or stop with an error naming the file.
 * What this mostly exercises is our own code around Qt's readers: the size
 * bounds and the checks that refuse a picture whose file is cut short. The
 * check made before the game starts, from the header alone, must name the
 * file too, and must never refuse a picture that the game would show.
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

namespace {

const QString kPath = QStringLiteral("/fuzz/dat/0.dat");

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_picture: %s\n", what);
    std::abort();
}

void checkNamesTheFile(const FatalError &error)
{
    if (!error.english().startsWith(QStringLiteral("The picture ") + kPath + u' '))
        fail("an error does not name the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bool shown = false;
    try {
        const QImage image = data::decodePicture(bytes, kPath);
        if (image.isNull() || image.width() > data::kMaxPictureSide || image.height() > data::kMaxPictureSide
            || qint64(image.width()) * image.height() > data::kMaxPicturePixels)
            fail("a picture outside the bounds was accepted");
        shown = true;
    } catch (const FatalError &error) {
        checkNamesTheFile(error);
    }
    try {
        data::checkPicture(bytes, kPath);
    } catch (const FatalError &error) {
        checkNamesTheFile(error);
        if (shown)
            fail("the check before the game refuses a picture the game shows");
    }
    return 0;
}
