/*
 * main.cpp: starts ぽこたま.
 */
#include "data/dataplatform.h"
#include "data/fatalerror.h"
#include "ui/about.h"
#include "ui/window.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pokotama"));
    QApplication::setApplicationVersion(QStringLiteral(POKOTAMA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("pokotama"));

    DataPlatform platform;
    GameWindow window(platform);
    // Broken data ends the game: say what is wrong, then leave at once,
    // whatever handler or dialog the error came from.
    window.setFatalHandler([&window](const FatalError &error) {
        reportFatalError(error, &window);
        std::exit(1);
    });
    if (!window.loadForm())
        return 1;
    window.show();
    // A desktop activates a new window by itself; a bare X server does not.
    window.activateWindow();
    return app.exec();
}
