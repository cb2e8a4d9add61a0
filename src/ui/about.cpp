/*
 * about.cpp: the about box and the fatal error box.
 */
#include "ui/about.h"

#include "common/fatalerror.h"

#include <QMessageBox>

#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("ぽこたま");

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
    box.exec();
}

void reportFatalError(const FatalError &error, QWidget *parent)
{
    std::fprintf(stderr, "pokotama: %s\n", error.what());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, kTitle, error.message(), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("fatal"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
