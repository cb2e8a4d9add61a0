/*
 * commandline.cpp: the game's options, through Qt's own parser, read
 * before there is an application.
 */
#include "ui/commandline.h"

#include "common/fatalerror.h"
#include "common/systemtext.h"
#include "services/dataplatform.h"
#include "ui/contentcheck.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <optional>

namespace {

const QString kProgram = QStringLiteral("pokotama");

// Qt's own options, which QGuiApplication, QApplication and the X11
// plugin take out of the arguments themselves (the same in Qt 6.4 and
// 6.8): those that take a value, and those that do not.
const QStringList kQtOptionsWithValue{
    QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),     QStringLiteral("qwindowgeometry"),    QStringLiteral("geometry"),
    QStringLiteral("qwindowtitle"), QStringLiteral("title"),            QStringLiteral("qwindowicon"),
    QStringLiteral("icon"),       QStringLiteral("session"),            QStringLiteral("style"),
    QStringLiteral("stylesheet"), QStringLiteral("qmljsdebugger"),      QStringLiteral("display"),
    QStringLiteral("name"),       QStringLiteral("visual"),
};
const QStringList kQtFlags{
    QStringLiteral("reverse"), QStringLiteral("testability"), QStringLiteral("widgetcount"),
    QStringLiteral("qdevel"),  QStringLiteral("qdebug"),      QStringLiteral("nograb"),
    QStringLiteral("dograb"),
};

void write(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
    std::fflush(to);
}

// Qt's warnings while it builds an application for a window that never
// opens, such as that XDG_RUNTIME_DIR is not set (su, sudo and chroots
// leave it unset), say nothing about the game: they are dropped. Its
// critical and fatal messages pass.
class QuietStart
{
public:
    QuietStart() { s_previous = qInstallMessageHandler(&QuietStart::handle); }
    ~QuietStart() { qInstallMessageHandler(s_previous); }
    QuietStart(const QuietStart &) = delete;
    QuietStart &operator=(const QuietStart &) = delete;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
};

CommandLine done(int status)
{
    return {CommandLine::Action::Done, QString(), status};
}

// One line on standard error, and the status for a bad command line.
CommandLine mistake(const QString &what)
{
    write(stderr, QStringLiteral("%1: %2 Try '%1 --help' for more information.\n").arg(kProgram, what));
    return done(2);
}

QString versionText()
{
    return QStringLiteral("%1 %2\n"
                          "Copyright (C) 2026 Munimaru Workshop\n"
                          "This is free software under the Expat licence: you are free to change and\n"
                          "redistribute it. There is NO WARRANTY, to the extent permitted by law.\n")
            .arg(kProgram, QStringLiteral(POKOTAMA_VERSION));
}

// Prints the help and exits 0. Qt's parser names the program from the
// application's arguments, and lists Qt's own options only where there is
// an application to ask, so one is made for the moment, on the offscreen
// platform: asking for help needs no screen.
[[noreturn]] void showHelp(QCommandLineParser &parser, char *program, bool withQtOptions)
{
    int argc = 1;
    char *argv[] = {program, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QuietStart quiet;
    QApplication app(argc, argv);
    if (withQtOptions)
        parser.process(QStringList{QString::fromLocal8Bit(program), QStringLiteral("--help-all")});
    parser.showHelp(0);
}

} // namespace

CommandLine readCommandLine(int argc, char **argv)
{
    QCoreApplication::setApplicationName(kProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(POKOTAMA_VERSION));

    QCommandLineParser parser;
    // -platform, as Qt's own options are written, is one option, not eight.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
            "ぽこたま: raise むにまる, a little plant creature, by watering it.\n"
            "With --check, looks over a content folder without opening a window."));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Play the content folder <DIR> in place of the game's own."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Check the content folder [DIR] (or the one --data names, or "
                                                  "the game's own) without opening a window: every problem as "
                                                  "FILE:LINE: what is wrong. Exit status 0 if it is good, 1 if "
                                                  "not."));
    parser.addOption(data);
    parser.addOption(check);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QString &name : kQtOptionsWithValue) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString &name : kQtFlags) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("With --check, the content folder to check."),
                                 QStringLiteral("[DIR]"));

    // A folder's name need not be UTF-8: keep its bytes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << systemtext::fromBytes(argv[i]);
    if (!parser.parse(arguments))
        return mistake(parser.errorText());

    if (parser.isSet(version)) {
        write(stdout, versionText());
        return done(0);
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (parser.isSet(help) || helpAll)
        showHelp(parser, argv[0], helpAll);

    CommandLine command;
    command.dataDir = parser.value(data);
    if (parser.isSet(data) && command.dataDir.isEmpty())
        return mistake(QStringLiteral("--data needs the name of a folder."));
    const QStringList folders = parser.positionalArguments();
    if (!parser.isSet(check)) {
        if (!folders.isEmpty())
            return mistake(QStringLiteral("Unexpected argument '%1': name a folder to play with --data, one to "
                                          "check with --check.")
                                   .arg(systemtext::shown(folders.front())));
        return command;
    }
    command.action = CommandLine::Action::Check;
    if (folders.size() > 1)
        return mistake(QStringLiteral("--check checks one folder, not %1.").arg(folders.size()));
    if (!folders.isEmpty()) {
        if (parser.isSet(data))
            return mistake(QStringLiteral("The folder to check is named twice, with --data and after --check."));
        command.dataDir = folders.front();
    }
    if (command.dataDir.isEmpty() && !folders.isEmpty())
        return mistake(QStringLiteral("--check needs the name of a folder, not an empty one."));
    return command;
}

int runCheck(char *program, const QString &dataDir)
{
    // Whatever -platform, QT_QPA_PLATFORM or the desktop says: no window.
    int argc = 1;
    char *argv[] = {program, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::optional<QuietStart> quiet(std::in_place);
    QGuiApplication app(argc, argv);
    quiet.reset();
    QString folder;
    try {
        folder = DataPlatform(dataDir).dataDir();
    } catch (const FatalError &error) {
        // The program's own folder cannot be found.
        write(stdout, QStringLiteral("%1: %2\n").arg(kProgram, error.english()));
        return 1;
    }
    return contentcheck::checkFolder(folder, stdout);
}
