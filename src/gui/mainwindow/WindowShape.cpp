#include "gui/mainwindow/WindowShape.h"

#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {

// What the window shows without its controls: the background colour, and the
// picture over it from the top-left corner at its own logical size.
QImage surfaceOf(const QSize& windowSize, const QImage& picture, const QColor& backColor)
{
    QImage surface(windowSize, QImage::Format_RGB32);
    surface.fill(backColor);
    QPainter painter(&surface);
    // No smoothing: a high-density picture scaled down keeps its exact colours.
    painter.drawImage(QPointF(0, 0), picture);
    return surface;
}

} // namespace

QRegion WindowShape::regionFromImage(const QImage& surface, QRgb backColor)
{
    QRegion outline;
    if (surface.isNull())
        return outline;
    // Rows are read straight from memory: a call per pixel costs a visible
    // share of start-up. These three formats hold what pixel() returns.
    const bool direct = surface.format() == QImage::Format_RGB32 || surface.format() == QImage::Format_ARGB32 ||
                        surface.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage rows = direct ? surface : surface.convertToFormat(QImage::Format_ARGB32);
    const QRgb back = backColor & RGB_MASK;
    const QRgb transparent = rows.pixel(0, 0) & RGB_MASK;
    const int width = rows.width();
    for (int y = 0; y < rows.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
        int start = -1;
        int x = 0;
        for (; x < width; ++x) {
            const QRgb colour = row[x] & RGB_MASK;
            if (colour == back)
                break;
            if (colour != transparent) {
                if (start < 0)
                    start = x;
            } else if (start >= 0) {
                outline += QRect(start, y, x - start, 1);
                start = -1;
            }
        }
        if (start >= 0)
            outline += QRect(start, y, x - start, 1);
    }
    return outline;
}

void WindowShape::apply(QWidget* window, const QImage& picture)
{
    if (window == nullptr || picture.isNull())
        return;
    const QColor backColor = window->palette().color(window->backgroundRole());
    const QRegion outline = regionFromImage(surfaceOf(window->size(), picture, backColor), backColor.rgb());

    // A window's alpha is chosen when it is created; the change of flags
    // below creates a shown window anew.
    window->setAttribute(Qt::WA_TranslucentBackground);
    if (!window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        // Changing the flags hides a shown window.
        const bool shown = window->isVisible();
        window->setWindowFlag(Qt::FramelessWindowHint);
        if (shown)
            window->show();
    }
    // Qt reads an empty mask as "no mask"; one pixel outside the window keeps
    // all of it out of view instead.
    window->setMask(outline.isEmpty() ? QRegion(-1, -1, 1, 1) : outline);
}

bool WindowShape::startMove(QWidget* widget)
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QWindow* handle = widget != nullptr ? widget->window()->windowHandle() : nullptr;
    return handle != nullptr && handle->startSystemMove();
}
