/*
 * clickablelabel.h: the message area LBl: a label that reports clicks and
 * whose bold text stays bold at every size.
 */
#pragma once

#include <QLabel>

class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    // As a click with the mouse would: for the keyboard and screen readers.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_pressed = false;
};
