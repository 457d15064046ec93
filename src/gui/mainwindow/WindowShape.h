#pragma once

#include <QImage>
#include <QRegion>
#include <QRgb>

class QWidget;

// Cuts a frameless window to the outline of its background picture and lets
// the user move it by dragging its surface.
class WindowShape
{
public:
    // The window's outline, scanned row by row over surface (what the window
    // shows without its controls). The colour of the top-left pixel is
    // transparent; every horizontal run of other colours becomes a rectangle one
    // pixel high, and a pixel of backColor ends its row. Only the 24-bit RGB
    // values are compared.
    static QRegion regionFromImage(const QImage& surface, QRgb backColor);

    // Makes window frameless and translucent and masks it to the outline of
    // picture, drawn from window's top-left corner over its background colour.
    // The mask cuts the window on X11 but only limits input on Wayland, so the
    // window paints itself within its mask and nothing outside. Call it before
    // the window is first shown. A null picture leaves the window untouched.
    static void apply(QWidget* window, const QImage& picture);

    // Hands the top-level window of widget to the window manager's interactive
    // move, as when its title bar is dragged; call it from a left-button press.
    // Returns false when the platform cannot move windows for us.
    static bool startMove(QWidget* widget);
};
