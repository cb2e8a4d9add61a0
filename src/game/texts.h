/*
 * texts.h: the words the game itself says.
 *
 * Everything a player reads that is not in the data folder: the button's
 * three captions, the stage titles, the growth message and the creature's
 * speech at each stage-up. The button's caption is also the round's state,
 * compared code unit for code unit, so these must not change by a dot: the
 * small い of はじめぃ and the full-width tilde (U+FF5E) of やりなおし～.
 */
#pragma once

#include <QString>

#include <array>

namespace texts {

// Lines of a message join with CR LF.
inline const QString kNewLine = QStringLiteral("\r\n");

// The button's captions: ready, running, ended.
inline const QString kStart = QStringLiteral("はじめぃ");
inline const QString kWater = QStringLiteral("水をやる");
inline const QString kStartOver = QStringLiteral("やりなおし～");

// What the labels read before the first round starts.
inline const QString kDesignLabel = QStringLiteral("Label1");

// The three endings; each names its picture and its text file.
inline const QString kLove = QStringLiteral("love");
inline const QString kWither = QStringLiteral("枯れる");
inline const QString kRot = QStringLiteral("腐る");

// The data files that are not named after a stage or an ending.
inline const QString kOpening = QStringLiteral("opn");
inline const QString kMessages = QStringLiteral("muni");
inline const QString kTextSuffix = QStringLiteral(".tad");
inline const QString kPictureSuffix = QStringLiteral(".dat");

// Every file of the data folder, by name without its suffix: the message
// table, the opening and the endings' texts; the pictures of stages 0 to
// 4 and of the endings. The rules name each file where they read it; all
// that goes over the whole folder takes it from these lists.
inline const std::array<QString, 5> kTextFiles = {kMessages, kOpening, kLove, kWither, kRot};
inline const std::array<QString, 8> kPictureFiles = {
    QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
    kLove, kWither, kRot,
};

// StageTitle(1) to StageTitle(4); index 0 is never shown and stays empty.
inline const std::array<QString, 5> kStageTitles = {
    QString(),
    QStringLiteral("幼いながらも"),
    QStringLiteral("生意気になってきて"),
    QStringLiteral("まだまだ子供"),
    QStringLiteral("そろそろ色気づいてきた"),
};

// The growth message: kGrowthBefore + title + kGrowthAfter. The gap after
// に is an ideographic space.
inline const QString kGrowthBefore = QStringLiteral("『");
inline const QString kGrowthAfter = QStringLiteral("』むにまるに　成長しました。");

// What むにまる says on reaching stages 1 to 4; index 0 is unused.
inline const std::array<QString, 5> kSpeeches = {
    QString(),
    QStringLiteral("「ちみちみちみちみ・・・」"),
    QStringLiteral("「ぽきっとおれちゃう」"),
    QStringLiteral("「らいばるは　ぱいなっぷる」"),
    QStringLiteral("「どこみてるのよぅ」"),
};

} // namespace texts
