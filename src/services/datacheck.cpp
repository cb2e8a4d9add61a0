/*
 * datacheck.cpp: checking every data file before the first round.
 */
#include "services/datacheck.h"

#include "data/messagetable.h"
#include "data/picture.h"
#include "data/textfile.h"
#include "game/texts.h"

#include <functional>

namespace {

// Runs check, keeping the problem it finds.
void collect(QList<FatalError> &problems, const std::function<void()> &check)
{
    try {
        check();
    } catch (const FatalError &problem) {
        problems.append(problem);
    }
}

} // namespace

QList<FatalError> checkDataFolder(const QString &dataDir)
{
    QList<FatalError> problems;
    // Without its folder every file would be missing: say so once.
    collect(problems, [&] { data::requireFolder(dataDir.endsWith(u'/') ? dataDir.chopped(1) : dataDir); });
    if (!problems.isEmpty())
        return problems;

    const QString table = dataDir + texts::kMessages + texts::kTextSuffix;
    collect(problems, [&] { data::loadMessageTable(data::readTextFile(table), table); });
    for (const QString &base : {texts::kOpening, texts::kLove, texts::kWither, texts::kRot}) {
        const QString path = dataDir + base + texts::kTextSuffix;
        collect(problems, [&] { data::readTextFile(path); });
    }

    QStringList pictures;
    for (int stage = 0; stage < data::kGroups; ++stage)
        pictures << QString::number(stage);
    pictures << texts::kLove << texts::kWither << texts::kRot;
    for (const QString &name : pictures) {
        const QString path = dataDir + name + texts::kPictureSuffix;
        collect(problems, [&] { data::checkPicture(data::readDataFile(path), path); });
    }
    return problems;
}
