#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>

class ClickableLabel;
class QLabel;
class QProgressBar;
class QWidget;

// The main window's picture and the controls laid out on it, made the way a
// form file would make them; the window gives them their behaviour.
struct MainWindowUi
{
    void setupUi(QWidget* window);

    QImage picture;
    // close up, close down, to-tray up, to-tray down.
    QList<QPixmap> buttonImages;
    QLabel* statusLabel = nullptr; // the volume being processed, then the summary
    QLabel* dropHint = nullptr;
    ClickableLabel* menuLink = nullptr;
    QLabel* fileLabel = nullptr; // the entry being extracted
    ClickableLabel* openFolderLink = nullptr;
    ClickableLabel* openFolderAndQuitLink = nullptr;
    ClickableLabel* closeButton = nullptr;
    ClickableLabel* trayButton = nullptr;
    QProgressBar* progressBar = nullptr;

private:
    void placeControls(QWidget* window);
};
