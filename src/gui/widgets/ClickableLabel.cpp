#include "gui/widgets/ClickableLabel.h"

#include <QMouseEvent>

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    // Another button pressed meanwhile does not undo the left button's press.
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
    // Taken here, so the press never reaches the window and starts a move.
    event->accept();
    emit mouseDown(event->button());
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool left = event->button() == Qt::LeftButton;
    const bool click = m_pressed && left && rect().contains(event->position().toPoint());
    if (left)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    emit mouseUp(event->button());
    if (click)
        emit clicked();
}
