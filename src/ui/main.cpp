/*
 * main.cpp: starts ぽこたま.
 */
#include "data/dataplatform.h"
#include "data/fatalerror.h"
#include "game/fom.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DataPlatform platform;
    Fom fom(platform);
    try {
        fom.LoadForm();
        fom.FormActivate();
    } catch (const FatalError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
