/*
 * about.cpp: the about box and the box that says why the game stopped.
 */
#include "ui/about.h"

#include "common/fatalerror.h"
#include "common/systemtext.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("ぽこたま");

// What a player can do about any of them, after the problems: for the
// game's own folder, restore it; for a folder of the player's own, mend it.
const QString kAdviceJapanese =
    QStringLiteral("データフォルダを元どおりにするか、ゲームを入れ直してください。");
const QString kAdviceEnglish = QStringLiteral("Restore the game's data folder, or reinstall the game.");
QString g_ownFolder;

QString advice()
{
    if (g_ownFolder.isEmpty())
        return kAdviceJapanese + u'\n' + kAdviceEnglish;
    const QString check = QStringLiteral("pokotama --check ") + systemtext::shown(g_ownFolder);
    return QStringLiteral("データフォルダを直してください。%1 で問題を確かめられます。").arg(check) + u'\n'
           + QStringLiteral("Mend the content folder: %1 lists its problems.").arg(check);
}

// The box listing the problems: one Japanese and one English line each,
// the advice last. Lines break between words (and between Japanese
// characters), never inside one: the box is at least as wide as the
// longest of them, a file's path most often. A word wider than two thirds
// of the screen loses its start, so a deep path still shows its file's
// name and the box, its button included, stays on the screen.
class ProblemBox : public QDialog
{
public:
    explicit ProblemBox(const QString &text, QWidget *parent)
        : QDialog(parent)
    {
        setObjectName(QStringLiteral("fatal"));
        setWindowTitle(kTitle);
        setFont(parent ? parent->font() : gameFont(QApplication::font().pointSizeF(), false));

        auto *icon = new QLabel(this);
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(side, side));
        icon->setAlignment(Qt::AlignTop);

        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("text"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        const QFontMetrics metrics(label->font());
        const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int roomy = screen ? screen->availableGeometry().width() * 2 / 3 : 800;
        QString shown = text;
        int longestWord = 0;
        int longestLine = 0;
        static const QRegularExpression word(QStringLiteral("\\S+"));
        for (qsizetype at = 0;;) {
            const QRegularExpressionMatch match = word.match(shown, at);
            if (!match.hasMatch())
                break;
            int width = metrics.horizontalAdvance(match.captured());
            at = match.capturedEnd();
            if (width > roomy) {
                const QString elided = metrics.elidedText(match.captured(), Qt::ElideLeft, roomy);
                shown.replace(match.capturedStart(), match.capturedLength(), elided);
                at = match.capturedStart() + elided.size();
                width = metrics.horizontalAdvance(elided);
            }
            longestWord = std::max(longestWord, width);
        }
        for (const QString &line : shown.split(u'\n'))
            longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
        label->setText(shown);
        label->setMinimumWidth(std::max(longestWord + 2, std::min(longestLine + 2, roomy)));

        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

        auto *row = new QHBoxLayout;
        row->addWidget(icon);
        row->addWidget(label, 1);
        auto *column = new QVBoxLayout(this);
        column->addLayout(row);
        column->addWidget(buttons);
        column->setSizeConstraint(QLayout::SetFixedSize);
    }
};

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

// Files of one folder that the system refused for one reason (a folder
// too deep for any of its files to be opened, say) are told together,
// the reason once.
QString refusedTogether(const QList<const FatalError *> &refused)
{
    const QString folder = systemtext::shown(folderOf(refused.first()->path()));
    QStringList names;
    for (const FatalError *problem : refused)
        names << systemtext::shown(problem->path().mid(folderOf(problem->path()).size()));
    const QString reason = refused.first()->reason();
    return QStringLiteral("データフォルダ %1 のファイル %2 個を読めません（%3）：%4")
                   .arg(folder).arg(refused.size()).arg(reason, names.join(QStringLiteral("、")))
            + u'\n'
            + QStringLiteral("Cannot read %1 files of the data folder %2 (%3): %4.")
                      .arg(refused.size()).arg(folder, reason, names.join(QStringLiteral(", ")));
}

// The problems and the advice, as the box and stderr show them.
QString problemsMessage(const QList<FatalError> &problems)
{
    QStringList parts;
    QList<bool> told(problems.size(), false);
    for (qsizetype i = 0; i < problems.size(); ++i) {
        if (told[i])
            continue;
        const FatalError &problem = problems[i];
        QList<const FatalError *> alike{&problem};
        for (qsizetype j = i + 1; j < problems.size() && !problem.reason().isEmpty(); ++j) {
            if (problems[j].reason() == problem.reason()
                && folderOf(problems[j].path()) == folderOf(problem.path())) {
                alike << &problems[j];
                told[j] = true;
            }
        }
        parts << (alike.size() > 1 ? refusedTogether(alike) : problem.message());
    }
    parts << advice();
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace

QString aboutText()
{
    return QStringList{
        kTitle,
        QStringLiteral("ばーじょん") + QStringLiteral(POKOTAMA_VERSION),
        QStringLiteral("むにまる工房（https://munimaru.example/）"),
    }.join(QStringLiteral("\r\n"));
}

QString forDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void showAboutBox(QWidget *parent)
{
    // Each line a paragraph that never breaks: a message box wraps a line
    // wider than half the screen, and the maker's address broke after
    // "https://". The game's font keeps the widest line within three
    // fifths of the screen's shorter side.
    QStringList paragraphs;
    for (const QString &line : forDisplay(aboutText()).split(u'\n'))
        paragraphs << QStringLiteral("<p style=\"white-space:pre; margin:0\">%1</p>").arg(line.toHtmlEscaped());
    QMessageBox box(QMessageBox::NoIcon, kTitle, QString(), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("about"));
    box.setTextFormat(Qt::RichText);
    box.setText(paragraphs.join(QString()));
    // In the game's face and colours, at the size of its messages.
    if (parent) {
        box.setFont(parent->font());
        box.setPalette(parent->palette());
    }
    box.exec();
}

void playingOwnFolder(const QString &folder)
{
    g_ownFolder = folder;
}

void reportProblems(const QList<FatalError> &problems, QWidget *parent)
{
    const QString text = problemsMessage(problems);
    for (const QString &line : text.split(u'\n'))
        if (!line.isEmpty())
            std::fprintf(stderr, "pokotama: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
    ProblemBox box(text, parent);
    box.exec();
}
