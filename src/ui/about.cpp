/*
 * about.cpp: the about box and the box that says why the game stopped.
 */
#include "ui/about.h"

#include "common/fatalerror.h"
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

// What a player can do about any of them, after the problems.
const QString kAdviceJapanese =
    QStringLiteral("データフォルダを元どおりにするか、ゲームを入れ直してください。");
const QString kAdviceEnglish = QStringLiteral("Restore the game's data folder, or reinstall the game.");

// The box listing the problems: one Japanese and one English line each,
// the advice last. Lines break between words (and between Japanese
// characters), never inside one: the box is at least as wide as the
// longest of them, a file's path most often.
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

        m_label = new QLabel(text, this);
        m_label->setObjectName(QStringLiteral("text"));
        m_label->setTextFormat(Qt::PlainText);
        m_label->setWordWrap(true);
        const QFontMetrics metrics(m_label->font());
        int longestWord = 0;
        int longestLine = 0;
        for (const QString &line : text.split(u'\n')) {
            longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
            for (const QString &word : line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
        }
        const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int roomy = screen ? screen->availableGeometry().width() * 2 / 3 : 800;
        m_label->setMinimumWidth(std::max(longestWord + 2, std::min(longestLine + 2, roomy)));

        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

        auto *row = new QHBoxLayout;
        row->addWidget(icon);
        row->addWidget(m_label, 1);
        auto *column = new QVBoxLayout(this);
        column->addLayout(row);
        column->addWidget(buttons);
        column->setSizeConstraint(QLayout::SetFixedSize);
    }

private:
    QLabel *m_label;
};

// The problems and the advice, as the box and stderr show them.
QString problemsMessage(const QList<FatalError> &problems)
{
    QStringList parts;
    for (const FatalError &problem : problems)
        parts << problem.message();
    parts << kAdviceJapanese + u'\n' + kAdviceEnglish;
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
    QMessageBox box(QMessageBox::NoIcon, kTitle, forDisplay(aboutText()), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("about"));
    box.setTextFormat(Qt::PlainText);
    // In the game's face, at the size of its messages.
    if (parent)
        box.setFont(parent->font());
    box.exec();
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

void reportFatalError(const FatalError &error, QWidget *parent)
{
    reportProblems({error}, parent);
}
