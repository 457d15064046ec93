#pragma once

#include "gui/widgets/Artwork.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

// Compares a screenshot with the main window's outline, wherever the window
// sits on it. Colours are compared without their alpha, which a screenshot may
// not carry.
namespace ShapeCheck {

// The desktop behind the window in both display sessions.
constexpr QRgb Backdrop = qRgb(0x3a, 0x7d, 0x44);

inline QString at(QPoint p)
{
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

// Empty when the screen shows window exactly cut to its picture's outline, with
// the window's top-left corner at origin: the backdrop wherever the picture is
// outside it, the window everywhere else.
inline QString mismatch(const QImage& shot, const QWidget& window, QPoint origin)
{
    const QImage picture = Artwork::windowPicture(1.0);
    const auto screen = [&](QPoint p) { return shot.pixel(origin + p) | ~RGB_MASK; };
    const QRgb back = Backdrop | ~RGB_MASK;
    const int w = window.width();
    const int h = window.height();
    if (!shot.rect().contains(QRect(origin, window.size())))
        return QStringLiteral("the window at %1 is not wholly on the screen").arg(at(origin));
    for (const QPoint p :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(w - 2, 2), QPoint(110, 10)}) {
        if (screen(p) != back)
            return QStringLiteral("outside the outline, %1 hides the backdrop").arg(at(p));
    }
    // Body centre, badge centre and the header band, where no control draws.
    for (const QPoint p : {QPoint(220, 150), QPoint(54, 46), QPoint(300, 45)}) {
        if (screen(p) != (picture.pixel(p) | ~RGB_MASK))
            return QStringLiteral("inside the outline, %1 does not show the picture").arg(at(p));
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool outside = (picture.pixel(x, y) | ~RGB_MASK) == Artwork::TransparentColor;
            if (outside != (screen(QPoint(x, y)) == back))
                return QStringLiteral("%1 is on the wrong side of the outline").arg(at(QPoint(x, y)));
        }
    }
    return {};
}

// Keeps the shot for people to look at, whatever the outcome.
inline bool save(const QImage& shot, const QString& name)
{
    return QDir().mkpath(QStringLiteral(ZORVANE_SCREENSHOTS)) &&
           shot.save(QStringLiteral(ZORVANE_SCREENSHOTS "/") + name);
}

} // namespace ShapeCheck
