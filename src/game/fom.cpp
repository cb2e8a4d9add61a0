/*
 * fom.cpp: the rules of ぽこたま.
 *
 * A round: the button reads はじめぃ; clicking it starts the growth clock.
 * Every tick some water evaporates and the tick count grows; at ticks 10,
 * 30, 60 and 100 むにまる reaches the next stage and the clock speeds up;
 * at tick 150 it is grown up (the love ending). The gauge running dry
 * withers it; watering it too much rots it. After an ending the button
 * offers to start over, which shows the about box and then a new round.
 */
#include "game/fom.h"

#include "common/fatalerror.h"
#include "game/int16.h"

#include <algorithm>
#include <cmath>

namespace {

// The first free file number: every file is closed before the routine
// that opened it returns, so it is always the first.
constexpr qint16 kFreeFile = 1;

// Int(x): the largest whole number not above x, of a single-precision value.
float Int(float x)
{
    return std::floor(x);
}

} // namespace

Fom::Fom(Platform &platform)
    : m_platform(platform)
{
}

float Fom::Rnd()
{
    return m_platform.rnd();
}

int Fom::tickCount() const
{
    bool ok = false;
    const int count = TimLbl.Caption.toInt(&ok);
    if (!ok)
        throw FatalError(QStringLiteral("経過の数「%1」が数ではありません。").arg(TimLbl.Caption),
                         QStringLiteral("The tick count \"%1\" is not a number.").arg(TimLbl.Caption));
    return count;
}

void Fom::LoadForm()
{
    DataDir = m_platform.dataDir();

    for (int i = 1; i < int(StageTitle.size()); ++i)
        StageTitle[i] = texts::kStageTitles[i];

    const QString path = DataDir + texts::kMessages + texts::kTextSuffix;
    FileNo = kFreeFile;
    const QStringList lines = m_platform.readLines(path);
    StageMsg = data::loadMessageTable(lines, path);
    if (!lines.isEmpty())
        LineBuf = lines.last();

    ImgTim.Enabled = true;
}

void Fom::FormActivate()
{
    // Coming back from the about box or from another program, or showing
    // the window again, starts nothing.
    if (m_activated)
        return;
    m_activated = true;
    StartRound();
}

void Fom::StartRound()
{
    TimLbl.Caption = QStringLiteral("0");
    ShpStr.Left = 0;
    ShpStr.Top = 0;
    ShpStr.Width = 300;
    ShpStr.Height = 1;
    Tim.Enabled = false;
    Stage = 0;
    GrowthStep = 10;
    ShpStr.BackColor = colour::kRed;
    AppendFileToMessages(texts::kOpening);
    ShowPicture(qint16(0));
    Com.Caption = texts::kStart;
    WiggleFrame = 1;
}

void Fom::GrowthTick()
{
    // The tick's only draw: 10 to 109 units of water evaporate.
    const auto r = static_cast<std::uint8_t>(Int(Rnd() * 100.0f + 10.0f));

    TimLbl.Caption = QString::number(tickCount() + 1);
    const int t = tickCount();

    // The thresholds are cumulative: (Stage + 1) × GrowthStep with the step
    // growing by 5 a stage gives stage-ups at ticks 10, 30, 60, 100, 150.
    const qint16 threshold = int16::mul(int16::add(Stage, 1, "Stage + 1"), GrowthStep, "(Stage + 1) × GrowthStep");
    if (t >= threshold) {
        Stage = int16::add(Stage, 1, "Stage + 1");
        if (Stage > 4) {
            EndRound(texts::kLove);
            return;
        }
        // A round never restores the interval, so it would reach zero after
        // fourteen stage-ups in one sitting; it stops at the floor instead.
        Tim.Interval = std::max(Tim.Interval - kIntervalStep, kMinInterval);
        GrowthStep = int16::add(GrowthStep, 5, "GrowthStep + 5");
        LBl.Caption = texts::kNewLine + texts::kGrowthBefore + StageTitle[Stage] + texts::kGrowthAfter;
        LBl.Caption += texts::kNewLine + texts::kSpeeches[Stage];
        ShowPicture(Stage);
    }

    const float w = ShpStr.Width;
    if (w - r <= 0) {
        EndRound(texts::kWither);
        return;
    }
    ShpStr.Width = w - r;

    // Above 700 the bar keeps its colour: an overfull gauge stays yellow
    // until the level falls below 700.
    const float level = ShpStr.Width;
    if (level > 110 && level < 700)
        ShpStr.BackColor = colour::kRed;
    else if (level <= 110)
        ShpStr.BackColor = colour::kBlue;
}

void Fom::ButtonClick()
{
    if (Com.Caption == texts::kStart) {
        Tim.Enabled = true;
        ImgTim.Enabled = true;
        Com.Caption = texts::kWater;
        return;
    }
    if (Com.Caption == texts::kStartOver) {
        AboutClick();
        StartRound();
        return;
    }

    // Watering. Both draws are made every time, whatever the level: the
    // number of draws fixes the rest of the random sequence.
    const qint16 a = int16::add(qint16(Int(Rnd() * 100.0f)), 10, "Int(Rnd × 100) + 10");
    const float x = Int(Rnd() * 100.0f);

    const float w = ShpStr.Width;
    const float sum = w + float(a);
    if (sum >= 1000 || (sum >= 700 && x >= 70)) {
        EndRound(texts::kRot);
        return;
    }
    ShpStr.Width = sum;
    if (ShpStr.Width >= 700)
        ShpStr.BackColor = colour::kYellow;

    ShowPicture(Stage);

    const auto k = int(Int(Rnd() * 10.0f));
    // Watering happens only while a round runs, so both hold in play.
    if (Stage < 0 || Stage >= data::kGroups || k < 0 || k >= data::kLinesPerGroup)
        throw FatalError(QStringLiteral("メッセージ表の範囲外です（段階 %1、行 %2）。").arg(Stage).arg(k),
                         QStringLiteral("Message table index out of range (stage %1, line %2).").arg(Stage).arg(k));
    LBl.Caption = texts::kNewLine + StageMsg[Stage][k];
}

void Fom::AboutClick()
{
    m_platform.showAbout();
}

void Fom::WiggleTick()
{
    WiggleFrame = qint16((WiggleFrame % 2) + 1);
}

void Fom::EndRound(const QString &name)
{
    ShowPicture(name);
    AppendFileToMessages(name);
    Tim.Enabled = false;
    Com.Caption = texts::kStartOver;
}

void Fom::ShowPicture(const QString &name)
{
    m_platform.loadPicture(DataDir + name + texts::kPictureSuffix);
    E.Picture = name;
    Img.Visible = true;
}

void Fom::ShowPicture(qint16 stage)
{
    ShowPicture(QString::number(stage));
}

void Fom::AppendFileToMessages(const QString &base)
{
    FileNo = kFreeFile;
    const QStringList lines = m_platform.readLines(DataDir + base + texts::kTextSuffix);
    LBl.Caption.clear();
    for (const QString &line : lines) {
        LineBuf = line;
        LBl.Caption += texts::kNewLine + LineBuf;
    }
}
