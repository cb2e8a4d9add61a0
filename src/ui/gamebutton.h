/*
 * gamebutton.h: the button Com, drawn by the game.
 *
 * White in every state rather than in the desktop's button colours, with
 * a grey outline (green under the mouse), a light green tint while
 * pressed, grey text while it takes no clicks, and a green ring while it
 * has the keyboard focus.
 */
#pragma once

#include <QPushButton>

class GameButton : public QPushButton
{
    Q_OBJECT

public:
    explicit GameButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
