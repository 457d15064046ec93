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
    // The window's outline, scanned row by row over imgSurface (what the window
    // shows without its controls). The colour of the top-left pixel is
    // transparent; every horizontal run of other colours becomes a rectangle one
    // pixel high, and a pixel of lngBackColor ends its row. Only the 24-bit RGB
    // values are compared.
    static QRegion TrimRegion(const QImage& imgSurface, QRgb lngBackColor);

    // Makes Frm frameless and translucent and masks it to the outline of
    // picPicture, drawn from Frm's top-left corner over Frm's background colour.
    // The mask cuts the window on X11 but only limits input on Wayland, so Frm
    // paints itself within its mask and nothing outside. Call it before Frm is
    // first shown. A null picture leaves Frm untouched.
    static void TrimForm(QWidget* Frm, const QImage& picPicture);

    // Hands Frm's window to the window manager's interactive move, as when its
    // title bar is dragged; call it from a left-button press. lbl is not used.
    // Returns false when the platform cannot move windows for us.
    static bool GrabForm(QWidget* Frm, QWidget* lbl = nullptr);
};
