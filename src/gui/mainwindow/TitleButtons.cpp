#include "gui/mainwindow/TitleButtons.h"

#include "gui/widgets/ClickableLabel.h"

TitleButtons::TitleButtons(ClickableLabel* closeButton, ClickableLabel* trayButton, const QList<QPixmap>& images,
                           QObject* parent)
    : QObject(parent)
    , m_closeButton(closeButton)
    , m_trayButton(trayButton)
    , m_images(images)
{
    for (ClickableLabel* button : {closeButton, trayButton}) {
        connect(button, &ClickableLabel::mouseDown, this,
                [this, button](Qt::MouseButton mouseButton) { press(button, mouseButton); });
        connect(button, &ClickableLabel::mouseUp, this,
                [this, button](Qt::MouseButton mouseButton) { release(button, mouseButton); });
    }
    connect(closeButton, &ClickableLabel::clicked, this, [this] {
        if (m_pressed)
            emit closeClicked();
    });
    connect(trayButton, &ClickableLabel::clicked, this, [this] {
        if (m_pressed)
            emit trayClicked();
    });
}

void TitleButtons::press(ClickableLabel* button, Qt::MouseButton mouseButton)
{
    if (mouseButton == Qt::LeftButton) {
        m_pressed = true;
        button->setPixmap(m_images.at(imageIndex(button, true)));
    } else if (button == m_trayButton) {
        m_pressed = false;
    }
}

void TitleButtons::release(ClickableLabel* button, Qt::MouseButton mouseButton)
{
    if (mouseButton == Qt::LeftButton)
        button->setPixmap(m_images.at(imageIndex(button, false)));
    else
        m_pressed = false;
}

int TitleButtons::imageIndex(ClickableLabel* button, bool pressed) const
{
    return (button == m_closeButton ? 0 : 2) + (pressed ? 1 : 0);
}
