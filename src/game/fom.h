/*
 * fom.h: the game's one form, Fom: its state and its event handlers.
 *
 * Fom holds the whole game as plain values: its own fields and the
 * properties of its controls that carry state (the water level is the
 * bar's width, the tick count the text of a hidden label, the round's
 * state the button's caption). The front end owns the real widgets and
 * timers; it calls a handler for each event (timer fired, button clicked,
 * message area clicked) and then draws what the state says. Nothing here
 * reads a clock or draws a random number except through Platform.
 *
 * A handler that meets broken data throws FatalError, leaving the state
 * as far as it got; the front end reports the error and ends the game.
 */
#pragma once

#include "data/messagetable.h"
#include "game/platform.h"
#include "game/texts.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>

// Colours are 0x00BBGGRR, red in the low byte.
namespace colour {
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kYellow = 0x00FFFF;
inline constexpr std::uint32_t kBlue = 0xFF0000;
} // namespace colour

// The state-carrying properties of Fom's controls. A label's and the
// button's are their captions.
struct CaptionState
{
    QString Caption;
};

// The water bar, in the units of its gauge (800 wide, 1 high).
struct ShapeState
{
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 2;
    std::uint32_t BackColor = colour::kRed;

    bool operator==(const ShapeState &) const = default;
};

struct TimerState
{
    bool Enabled = false;
    int Interval = 0; // milliseconds
};

struct PictureState
{
    QString Picture; // the name last given to ShowPicture, "" before any
    bool Visible = true;
};

class Fom
{
public:
    // Each stage-up makes the growth clock this much faster, down to the floor.
    static constexpr int kIntervalStep = 30;
    static constexpr int kMinInterval = 10;

    explicit Fom(Platform &platform);

    // --- Event handlers: the front end calls these. ---

    // The window is created: finds the data folder, fills the stage titles,
    // reads the message table and starts the animation clock. (The window
    // lays itself out before calling this.)
    void LoadForm();
    // The window is shown for the first time: the first round starts.
    // Later calls (the window shown or activated again) start nothing.
    void FormActivate();
    // Tim fired: water evaporates, the creature may grow, the round may end.
    void GrowthTick();
    // The button was clicked: start, water, or start over.
    void ButtonClick();
    // The message area was clicked: the about box.
    void AboutClick();
    // ImgTim fired: the next frame of the creature's wiggle.
    void WiggleTick();

    // --- Routines the handlers share. ---

    // Puts a fresh round on the screen: opening text, stage-0 picture,
    // level 300 and red. Keeps the growth clock's shortened interval.
    void StartRound();
    // Shows an ending ("love", "枯れる" or "腐る") and stops the round.
    void EndRound(const QString &name);
    // Loads the picture <name>.dat for the creature display.
    void ShowPicture(const QString &name);
    void ShowPicture(qint16 stage);
    // Replaces the message area's text with the file <base>.tad, each line
    // after a CR LF (so the text always begins with an empty line).
    void AppendFileToMessages(const QString &base);

    // --- Fields. ---
    QString DataDir;   // the data folder, ending in a slash
    qint16 FileNo = 0; // the file number of the text file last read
    QString LineBuf;   // the last line read from a text file

    qint16 Stage = 0;       // growth stage 0 to 4; 5 after the love ending
    qint16 GrowthStep = 0;  // the growth schedule's tick unit
    qint16 WiggleFrame = 0; // animation frame, 1 or 2

    std::array<QString, 5> StageTitle;
    data::MessageTable StageMsg;

    // --- Controls, with their values in the window's design. ---
    CaptionState Com{texts::kWater};
    CaptionState LBl{texts::kDesignLabel};
    CaptionState TimLbl{texts::kDesignLabel};
    ShapeState ShpStr;
    TimerState Tim{false, 400};
    TimerState ImgTim{true, 100};
    PictureState E{QString(), false}; // the hidden holder of the loaded picture
    PictureState Img;                 // the creature display

private:
    float Rnd();
    int tickCount() const;

    Platform &m_platform;
    bool m_activated = false;
};
