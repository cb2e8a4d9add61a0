/*
 * main.cpp: starts ぽこたま, wiring the window to the real data folder and
 * the about dialog.
 */
#include "services/datacheck.h"
#include "services/dataplatform.h"
#include "ui/about.h"
#include "ui/display.h"
#include "ui/window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    display::chooseWindowSystem();
    display::guardOpening();
    QApplication app(argc, argv);
    display::opened();
    QApplication::setApplicationName(QStringLiteral("pokotama"));
    QApplication::setApplicationVersion(QStringLiteral(POKOTAMA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("pokotama"));

    AboutDialog about;
    DataPlatform platform(QString(), &about);
    // Every file the game will read, before any window: all that is wrong
    // in one box.
    const QList<FatalError> problems = checkDataFolder(platform.dataDir());
    if (!problems.isEmpty()) {
        reportProblems(problems, nullptr);
        return 1;
    }

    GameWindow window(platform, platform);
    about.setParent(&window);

    // Broken data found while loading: the window has shown the error.
    if (!window.loadForm())
        return 1;
    window.show();
    // Broken data met by the first round, which starts as the window is
    // shown: the error has been shown, and no event loop was there to leave.
    if (window.stopped())
        return 1;
    // A desktop activates a new window by itself; a bare X server does not.
    window.activateWindow();
    // 1 if the game stopped on broken data during play.
    return app.exec();
}
