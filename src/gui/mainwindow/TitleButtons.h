#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

class ClickableLabel;

// The close and to-tray buttons drawn on the main window's picture: each
// shows its pressed image while the left button is down, and a click counts
// only when the left button pressed it (a right click on the tray button
// cancels a pending one).
class TitleButtons : public QObject
{
    Q_OBJECT

public:
    // images: close, close pressed, tray, tray pressed.
    TitleButtons(ClickableLabel* closeButton, ClickableLabel* trayButton, const QList<QPixmap>& images,
                 QObject* parent = nullptr);

signals:
    void closeClicked();
    void trayClicked();

private:
    void press(ClickableLabel* button, Qt::MouseButton mouseButton);
    void release(ClickableLabel* button, Qt::MouseButton mouseButton);
    int imageIndex(ClickableLabel* button, bool pressed) const;

    ClickableLabel* m_closeButton;
    ClickableLabel* m_trayButton;
    QList<QPixmap> m_images;
    bool m_pressed = false;
};
