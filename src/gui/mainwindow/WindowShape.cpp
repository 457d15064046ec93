#include "gui/mainwindow/WindowShape.h"

#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {

// What the window shows without its controls: the background colour, and the
// picture over it from the top-left corner at its own logical size.
QImage surfaceOf(const QSize& sizWindow, const QImage& picPicture, const QColor& clrBack)
{
    QImage imgSurface(sizWindow, QImage::Format_RGB32);
    imgSurface.fill(clrBack);
    QPainter painter(&imgSurface);
    // No smoothing: a high-density picture scaled down keeps its exact colours.
    painter.drawImage(QPointF(0, 0), picPicture);
    return imgSurface;
}

} // namespace

QRegion WindowShape::TrimRegion(const QImage& imgSurface, QRgb lngBackColor)
{
    QRegion rgnForm;
    if (imgSurface.isNull())
        return rgnForm;
    // Rows are read straight from memory: a call per pixel costs a visible
    // share of start-up. These three formats hold what pixel() returns.
    const bool blnDirect = imgSurface.format() == QImage::Format_RGB32 ||
                           imgSurface.format() == QImage::Format_ARGB32 ||
                           imgSurface.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage imgRows = blnDirect ? imgSurface : imgSurface.convertToFormat(QImage::Format_ARGB32);
    const QRgb lngBack = lngBackColor & RGB_MASK;
    const QRgb lngTransparent = imgRows.pixel(0, 0) & RGB_MASK;
    const int lngWidth = imgRows.width();
    for (int y = 0; y < imgRows.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(imgRows.constScanLine(y));
        int lngStart = -1;
        int x = 0;
        for (; x < lngWidth; ++x) {
            const QRgb lngColor = row[x] & RGB_MASK;
            if (lngColor == lngBack)
                break;
            if (lngColor != lngTransparent) {
                if (lngStart < 0)
                    lngStart = x;
            } else if (lngStart >= 0) {
                rgnForm += QRect(lngStart, y, x - lngStart, 1);
                lngStart = -1;
            }
        }
        if (lngStart >= 0)
            rgnForm += QRect(lngStart, y, x - lngStart, 1);
    }
    return rgnForm;
}

void WindowShape::TrimForm(QWidget* Frm, const QImage& picPicture)
{
    if (Frm == nullptr || picPicture.isNull())
        return;
    const QColor clrBack = Frm->palette().color(Frm->backgroundRole());
    const QRegion rgnForm = TrimRegion(surfaceOf(Frm->size(), picPicture, clrBack), clrBack.rgb());

    // A window's alpha is chosen when it is created; the change of flags
    // below creates a shown window anew.
    Frm->setAttribute(Qt::WA_TranslucentBackground);
    if (!Frm->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        // Changing the flags hides a shown window.
        const bool blnShown = Frm->isVisible();
        Frm->setWindowFlag(Qt::FramelessWindowHint);
        if (blnShown)
            Frm->show();
    }
    // Qt reads an empty mask as "no mask"; one pixel outside the window keeps
    // all of it out of view instead.
    Frm->setMask(rgnForm.isEmpty() ? QRegion(-1, -1, 1, 1) : rgnForm);
}

bool WindowShape::GrabForm(QWidget* Frm, QWidget* /*lbl*/)
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QWindow* window = Frm != nullptr ? Frm->window()->windowHandle() : nullptr;
    return window != nullptr && window->startSystemMove();
}
