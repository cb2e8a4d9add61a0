/*
 * main.cpp: starts ぽこたま, wiring the window to the real data folder and
 * the about dialog; or, as the command line asks, checks a content folder
 * or answers --help and --version, with no window.
 */
#include "services/datacheck.h"
#include "services/dataplatform.h"
#include "ui/about.h"
#include "ui/commandline.h"
#include "ui/display.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"
#include "ui/window.h"

#include <QApplication>

#include <csignal>
#include <thread>

int main(int argc, char *argv[])
{
    // A launcher may close its end of our standard error: a message that
    // cannot be written is lost, and the game goes on to its box.
    std::signal(SIGPIPE, SIG_IGN);
    const CommandLine command = readCommandLine(argc, argv);
    if (command.action == CommandLine::Action::Done)
        return command.status;
    if (command.action == CommandLine::Action::Check)
        return runCheck(argv[0], command.dataDir);

    display::chooseWindowSystem();
    // Fontconfig reads its configuration and its caches of every installed
    // font on a second core while Qt connects to the display: the font check
    // needs them next, and read in turn they kept the first frame waiting
    // some 5 ms longer.
    std::jthread fontconfig(loadFontConfiguration);
    display::guardOpening();
    QApplication app(argc, argv);
    display::opened();
    // (The application's name and version are set as the command line is read.)
    QGuiApplication::setDesktopFileName(QStringLiteral("pokotama"));

    // Without a font for its Japanese, the game would be empty boxes.
    fontconfig.join();
    if (!checkGameFont())
        return 1;

    if (!command.dataDir.isEmpty())
        playingOwnFolder(command.dataDir);

    // The about box opens over the window, made once the data is known good.
    QWidget *aboutParent = nullptr;
    DataPlatform platform(command.dataDir, [&aboutParent] { showAboutBox(aboutParent); });
    // Every file the game will read, before any window: all that is wrong
    // in one box.
    QList<FatalError> problems;
    try {
        problems = checkDataFolder(platform.dataDir());
    } catch (const FatalError &problem) {
        problems = {problem}; // the program's own folder cannot be found
    }
    if (!problems.isEmpty()) {
        reportProblems(problems, nullptr);
        return 1;
    }

    GameWindow window(platform, platform);
    aboutParent = &window;

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
