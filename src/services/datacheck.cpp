/*
 * datacheck.cpp: checking every data file before the first round.
 */
#include "services/datacheck.h"

#include "data/messagetable.h"
#include "data/picture.h"
#include "data/textfile.h"
#include "game/texts.h"

QList<FatalError> checkDataFolder(const QString &dataDir)
{
    QList<FatalError> problems;
    // Runs check, keeping the problem it finds.
    const auto collect = [&problems](const auto &check) {
        try {
            check();
        } catch (const FatalError &problem) {
            problems.append(problem);
        }
    };
    // Without its folder every file would be missing: say so once.
    collect([&] { data::requireFolder(dataDir.endsWith(u'/') ? dataDir.chopped(1) : dataDir); });
    if (!problems.isEmpty())
        return problems;

    for (const QString &name : texts::kTextFiles) {
        const QString path = dataDir + name + texts::kTextSuffix;
        collect([&] {
            const QStringList lines = data::readTextFile(path);
            if (name == texts::kMessages)
                data::loadMessageTable(lines, path);
        });
    }
    for (const QString &name : texts::kPictureFiles) {
        const QString path = dataDir + name + texts::kPictureSuffix;
        collect([&] { data::checkPicture(data::readDataFile(path), path); });
    }
    return problems;
}
